// The per-frame path allocates nothing: every effect held on screen, and transitions of every
// pattern, run frame after frame with all overlays while this program counts heap allocations.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "../support/headless_program.h"
#include "scenes/effect_scheduler.h"
#include "scenes/scene_table.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
// The nothrow forms are replaced too, so every block our deletes free came from our malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting) ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(FrameAllocation, NoFrameOfTheShowAllocates) {
  test_support::HeadlessDevice device;
  ASSERT_TRUE(device.created());
  ASSERT_EQ(CreateScenes(), 0);
  auto frame = [&](double seconds) {
    device.Advance(seconds);
    RunFrame();
  };
  // Warm up every effect and pattern once, then count.
  for (int pass = 0; pass < 2; ++pass) {
    counting = pass == 1;
    for (int effect = 1; effect <= 14; ++effect) {
      currentEffect = effect;
      transitionSeconds = 0.0f;
      for (int i = 0; i < 20; ++i) {
        holdSeconds = 1000.0f;
        frame(1.0 / 60);
      }
      for (int kind = 0; kind < 16; ++kind) {
        nextEffect = effect % 14 + 1;
        currentEffect = effect;
        transitionKind = kind;
        transitionSeconds = 2.0f;
        frame(1.0 / 60);
      }
    }
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
  DestroyScenes();
}

}  // namespace
