// Texture upload from raw pixel blocks and render-state lists.
#include "gfx/texture_upload.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "../support/headless_program.h"
#include "gfx/render_state_list.h"

namespace {

using test_support::HeadlessDevice;

TEST(TextureUpload, HonoursTheLockedPitchRowByRow) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  // Three R5G6B5 texels a row is 6 bytes; the device lays rows out on 4-byte boundaries (8 bytes).
  const uint16_t block[6] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410};
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(CreateTextureFromImage(block, &texture, 3, 2, D3DFMT_R5G6B5, 1), 0);
  D3DLOCKED_RECT locked;
  texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY);
  EXPECT_EQ(locked.Pitch, 8);
  texture->UnlockRect(0);
  std::vector<uint32_t> pixels = HeadlessDevice::TexturePixels(texture);
  const uint32_t expected[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF848284};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(pixels[i], expected[i]) << i;
  texture->Release();
}

TEST(TextureUpload, FillsA128SquareA1R5G5B5TextureExactly) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  std::vector<uint16_t> block(128 * 128);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(CreateTextureFromImage(block.data(), &texture, 128, 128, D3DFMT_A1R5G5B5, 1), 0);
  D3DLOCKED_RECT locked;
  texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY);
  for (int y = 0; y < 128; ++y) {
    ASSERT_EQ(0, std::memcmp(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &block[y * 128], 256)) << y;
  }
  texture->UnlockRect(0);
  texture->Release();
}

TEST(TextureUpload, FillsEveryLevelInTurnFromTheBlock) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  // Levels of 8x4, 4x2 and 2x1 texels follow one another: 32 + 8 + 2 texels, numbered in order.
  std::vector<uint32_t> block(42);
  for (size_t i = 0; i < block.size(); ++i) block[i] = 0xFF000000u | static_cast<uint32_t>(i);
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(CreateTextureFromImage(block.data(), &texture, 8, 4, D3DFMT_A8R8G8B8, 3), 0);
  ASSERT_EQ(texture->GetLevelCount(), 3u);
  uint32_t first = 0;
  for (UINT level = 0; level < 3; ++level) {
    const int width = 8 >> level, height = 4 >> level;
    D3DLOCKED_RECT locked;
    texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY);
    for (int y = 0; y < height; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
      for (int x = 0; x < width; ++x) EXPECT_EQ(row[x] & 0xFFFFFF, first + y * width + x) << level << ":" << x << "," << y;
    }
    texture->UnlockRect(level);
    first += width * height;
  }
  texture->Release();
}

TEST(TextureUpload, RefusesFormatsWithoutACopyModeButKeepsTheCreatedTexture) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  const uint32_t block[4] = {};
  for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_X1R5G5B5}) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(CreateTextureFromImage(block, &texture, 2, 2, format, 1), -1) << format;
    ASSERT_NE(texture, nullptr) << "the caller's release frees it";
    texture->Release();
  }
}

TEST(TextureUpload, AFailedCreationReportsFailure) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kTexture, 1);
  const uint16_t block[4] = {};
  IDirect3DTexture8* texture = nullptr;
  EXPECT_EQ(CreateTextureFromImage(block, &texture, 2, 2, D3DFMT_R5G6B5, 1), -1);
  EXPECT_EQ(texture, nullptr);
}

TEST(RenderStateList, AppliesPairsInOrderAndFloatStatesKeepTheirBits) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  const RenderStatePair list[] = {
      {D3DRS_FOGSTART, FloatState(12.5f)}, {D3DRS_ZFUNC, D3DCMP_EQUAL}, {D3DRS_ZFUNC, D3DCMP_GREATER}};
  ApplyRenderStates(list, 0);
  DWORD value = 0;
  d3dDevice->GetRenderState(D3DRS_ZFUNC, &value);
  EXPECT_EQ(value, static_cast<DWORD>(D3DCMP_LESSEQUAL)) << "a count of 0 sets nothing";
  ApplyRenderStates(list, 3);
  d3dDevice->GetRenderState(D3DRS_ZFUNC, &value);
  EXPECT_EQ(value, static_cast<DWORD>(D3DCMP_GREATER)) << "later pairs win";
  d3dDevice->GetRenderState(D3DRS_FOGSTART, &value);
  EXPECT_EQ(value, std::bit_cast<DWORD>(12.5f));
}

}  // namespace
