// A software Direct3D 8 device on a headless host, installed as the program's device, with a frame
// target shaped like the program's offscreen frame whose pixels the tests read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <d3d8.h>

#include "platform/host/headless_host.h"

class EffectDevice : public ::testing::Test {
 public:
  // The frame effects draw into: 320x240 in the top-left of a 512x256 render target.
  static constexpr int kFrameWidth = 320;
  static constexpr int kFrameHeight = 240;
  static constexpr UINT kTargetWidth = 512;
  static constexpr UINT kTargetHeight = 256;

 protected:

  void SetUp() override;
  void TearDown() override;

  // Makes the frame target the render target, clears it to black and begins a scene.
  void UseFrame();
  // The frame's pixels as A8R8G8B8 values, kTargetWidth per row.
  std::vector<uint32_t> FramePixels();
  // Releases the frame target and resets the device, as a device reset does between the scenes'
  // Release and Init; true when the Reset succeeded.
  bool ResetDevice();

  host::HeadlessHost host_;
  D3DPRESENT_PARAMETERS params_{};
  IDirect3DTexture8* frame_ = nullptr;
  IDirect3DSurface8* frameSurface_ = nullptr;
};

// Bit-replicated A8R8G8B8 value of an R5G6B5 texel, as the device samples it.
uint32_t ExpandR5G6B5(uint16_t texel);
