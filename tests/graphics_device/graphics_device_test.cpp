// Creation and release of the graphics device: adapter choice, vertex-processing choice by the
// capabilities, the order of format fallbacks, and release of whatever exists.
#include <gtest/gtest.h>

#include "gfx/graphics_device.h"
#include "platform/d3d8/d3d8_test_control.h"
#include "platform/host/headless_host.h"

namespace {

class GraphicsDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    d3d8test::ResetControls();
    host::SetActiveHost(&host_);
    saved_ = presentParams;
  }
  void TearDown() override {
    ReleaseGraphicsDevice();
    presentParams = saved_;
    behaviorFlags = 0;
    host::SetActiveHost(nullptr);
    d3d8test::ResetControls();
  }
  HWND Window() { return reinterpret_cast<HWND>(&host_); }

  host::HeadlessHost host_;
  D3DPRESENT_PARAMETERS saved_;
};

TEST_F(GraphicsDeviceTest, UsesTheFirstAdapterWithAHardwareDevice) {
  d3d8test::SetAdapterCount(3);
  d3d8test::AdapterSetup noHal;
  noHal.hal = false;
  d3d8test::SetAdapter(0, noHal);
  ASSERT_EQ(CreateGraphicsDevice(Window()), 0);
  ASSERT_NE(d3dDevice, nullptr);
  const auto& attempts = d3d8test::CreateDeviceAttempts();
  ASSERT_EQ(attempts.size(), 1u);
  EXPECT_EQ(attempts[0].adapter, 1u);
  EXPECT_EQ(attempts[0].deviceType, D3DDEVTYPE_HAL);
  EXPECT_EQ(presentParams.hDeviceWindow, Window());
  EXPECT_TRUE(host_.IsFullScreen());  // the program starts full screen
}

TEST_F(GraphicsDeviceTest, FailsWithoutAnyHardwareDevice) {
  d3d8test::SetAdapterCount(2);
  d3d8test::AdapterSetup noHal;
  noHal.hal = false;
  d3d8test::SetAdapter(0, noHal);
  d3d8test::SetAdapter(1, noHal);
  EXPECT_EQ(CreateGraphicsDevice(Window()), -1);
  EXPECT_EQ(d3dDevice, nullptr);
  EXPECT_TRUE(d3d8test::CreateDeviceAttempts().empty());
  d3d8test::SetAdapterCount(0);
  ReleaseGraphicsDevice();
  EXPECT_EQ(CreateGraphicsDevice(Window()), -1);
}

TEST_F(GraphicsDeviceTest, FailsWithoutADirect3DRuntime) {
  d3d8test::SetRuntimeAvailable(false);
  EXPECT_EQ(CreateGraphicsDevice(Window()), -1);
  EXPECT_EQ(direct3D, nullptr);
  EXPECT_EQ(d3dDevice, nullptr);
}

TEST_F(GraphicsDeviceTest, ChoosesVertexProcessingByCapabilities) {
  struct Case {
    DWORD devCaps;
    float maxPointSize;
    DWORD expected;
  };
  const Case cases[] = {
      {D3DDEVCAPS_HWTRANSFORMANDLIGHT, 64.0f, D3DCREATE_HARDWARE_VERTEXPROCESSING},
      {D3DDEVCAPS_HWTRANSFORMANDLIGHT, 1.0f, D3DCREATE_MIXED_VERTEXPROCESSING},
      {D3DDEVCAPS_HWTRANSFORMANDLIGHT, 1.5f, D3DCREATE_HARDWARE_VERTEXPROCESSING},
      {0, 64.0f, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.devCaps << " " << c.maxPointSize);
    d3d8test::ResetControls();
    d3d8test::AdapterSetup setup;
    setup.devCaps = c.devCaps;
    setup.maxPointSize = c.maxPointSize;
    d3d8test::SetAdapter(0, setup);
    ASSERT_EQ(CreateGraphicsDevice(Window()), 0);
    EXPECT_EQ(behaviorFlags, c.expected);
    EXPECT_EQ(d3d8test::CreateDeviceAttempts().back().behaviorFlags, c.expected);
    ReleaseGraphicsDevice();
    presentParams = saved_;
  }
}

TEST_F(GraphicsDeviceTest, FallsBackThroughTheFormatPairsInOrder) {
  struct Case {
    int refused;  // how many of the four pairs (first choice, then the fallbacks) are refused
    D3DFORMAT backBuffer, depth;
  };
  const Case cases[] = {
      {0, D3DFMT_X8R8G8B8, D3DFMT_D32},
      {1, D3DFMT_X8R8G8B8, D3DFMT_D16},
      {2, D3DFMT_R5G6B5, D3DFMT_D32},
      {3, D3DFMT_R5G6B5, D3DFMT_D16},
  };
  const D3DFORMAT order[4][2] = {{D3DFMT_X8R8G8B8, D3DFMT_D32},
                                 {D3DFMT_X8R8G8B8, D3DFMT_D16},
                                 {D3DFMT_R5G6B5, D3DFMT_D32},
                                 {D3DFMT_R5G6B5, D3DFMT_D16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refused);
    d3d8test::ResetControls();
    for (int i = 0; i < c.refused; ++i) d3d8test::RefuseDisplayFormats(order[i][0], order[i][1]);
    ASSERT_EQ(CreateGraphicsDevice(Window()), 0);
    EXPECT_EQ(presentParams.BackBufferFormat, c.backBuffer);
    EXPECT_EQ(presentParams.AutoDepthStencilFormat, c.depth);
    const auto& attempts = d3d8test::CreateDeviceAttempts();
    ASSERT_EQ(attempts.size(), static_cast<size_t>(c.refused + 1));
    for (int i = 0; i <= c.refused; ++i) {
      EXPECT_EQ(attempts[i].backBufferFormat, order[i][0]);
      EXPECT_EQ(attempts[i].depthFormat, order[i][1]);
    }
    // The device really has those formats.
    IDirect3DSurface8* back = nullptr;
    d3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    back->Release();
    EXPECT_EQ(desc.Format, c.backBuffer);
    ReleaseGraphicsDevice();
    presentParams = saved_;
  }
}

TEST_F(GraphicsDeviceTest, FailsWhenEveryPairIsRefused) {
  d3d8test::RefuseDisplayFormats(D3DFMT_X8R8G8B8, D3DFMT_D32);
  d3d8test::RefuseDisplayFormats(D3DFMT_X8R8G8B8, D3DFMT_D16);
  d3d8test::RefuseDisplayFormats(D3DFMT_R5G6B5, D3DFMT_D32);
  d3d8test::RefuseDisplayFormats(D3DFMT_R5G6B5, D3DFMT_D16);
  EXPECT_EQ(CreateGraphicsDevice(Window()), -1);
  EXPECT_EQ(d3dDevice, nullptr);
  EXPECT_NE(direct3D, nullptr);  // released by ReleaseGraphicsDevice at shutdown
  EXPECT_EQ(d3d8test::CreateDeviceAttempts().size(), 4u);
}

TEST_F(GraphicsDeviceTest, ReleaseReleasesOnlyWhatExists) {
  ReleaseGraphicsDevice();  // nothing created
  EXPECT_EQ(direct3D, nullptr);
  EXPECT_EQ(d3dDevice, nullptr);
  d3d8test::SetAdapterCount(0);
  EXPECT_EQ(CreateGraphicsDevice(Window()), -1);
  ASSERT_NE(direct3D, nullptr);
  ReleaseGraphicsDevice();  // the Direct3D object without a device
  EXPECT_EQ(direct3D, nullptr);
  d3d8test::SetAdapterCount(1);
  ASSERT_EQ(CreateGraphicsDevice(Window()), 0);
  ReleaseGraphicsDevice();
  EXPECT_EQ(d3dDevice, nullptr);
  EXPECT_EQ(direct3D, nullptr);
}

}  // namespace
