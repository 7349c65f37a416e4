// libopenmpt behind a BASS music: decoding, render settings, flags and position.
#include "platform/bass/module_instance.h"

#include <bass.h>

#include <exception>
#include <libopenmpt/libopenmpt.hpp>
#include <new>

namespace bass {

namespace {

// The modules are XM with their panning written per note and instrument: keep it as composed.
constexpr int kStereoSeparationPercent = 100;
// Windowed sinc with 8 taps: libopenmpt's best interpolation; samples pitched far down or up stay
// free of aliasing, and one module costs well under a millisecond per audio buffer.
constexpr int kInterpolationTaps = 8;
// libopenmpt's recommended ramp length: notes start and stop without clicks.
constexpr int kRampingOn = -1;
// No ramping at all: what a music loaded without a ramping flag asks for.
constexpr int kRampingOff = 0;
// libopenmpt's repeat counts: forever, or play once.
constexpr int kRepeatForever = -1;
constexpr int kPlayOnce = 0;

}  // namespace

ModuleInstance::ModuleInstance() : log_(nullptr) {}

ModuleInstance::~ModuleInstance() = default;

std::unique_ptr<ModuleInstance> ModuleInstance::Create(const void* data, size_t size, DWORD flags) {
  if (data == nullptr || size == 0) return nullptr;
  try {
    std::unique_ptr<ModuleInstance> instance(new ModuleInstance());
    instance->module_ = std::make_unique<openmpt::module>(data, size, instance->log_);
    instance->module_->set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT, kStereoSeparationPercent);
    instance->module_->set_render_param(openmpt::module::RENDER_INTERPOLATIONFILTER_LENGTH, kInterpolationTaps);
    instance->ApplyFlags(flags);
    return instance;
  } catch (const std::exception&) {
    // openmpt::exception for data it cannot load, std::bad_alloc for memory.
    return nullptr;
  }
}

void ModuleInstance::ApplyFlags(DWORD flags) {
  module_->set_repeat_count((flags & BASS_MUSIC_LOOP) ? kRepeatForever : kPlayOnce);
  bool ramp = (flags & (BASS_MUSIC_RAMP | BASS_MUSIC_RAMPS)) != 0;
  module_->set_render_param(openmpt::module::RENDER_VOLUMERAMPING_STRENGTH, ramp ? kRampingOn : kRampingOff);
}

bool ModuleInstance::HasPosition(int order, int row) const {
  if (order < 0 || row < 0 || order >= module_->get_num_orders()) return false;
  int pattern = module_->get_order_pattern(order);
  if (pattern < 0 || pattern >= module_->get_num_patterns()) return false;
  return row < module_->get_pattern_num_rows(pattern);
}

void ModuleInstance::SetPosition(int order, int row) { module_->set_position_order_row(order, row); }

double ModuleInstance::DurationSeconds() const { return module_->get_duration_seconds(); }

size_t ModuleInstance::Render(int frequency, float* stereo, size_t frames) {
  return module_->read_interleaved_stereo(frequency, frames, stereo);
}

}  // namespace bass
