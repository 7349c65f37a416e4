// The three point-and-strip effects hold exactly one default-pool vertex buffer while initialised,
// give it back on Release, and fail Init cleanly when it cannot be made.
#include <memory>

#include "effect_device.h"
#include "effects/point_tunnel_effect.h"
#include "effects/square_tunnel_effect.h"
#include "effects/starfield_effect.h"

namespace {

template <typename Effect>
class TunnelResourcesTest : public EffectDeviceTest {};

using Effects = testing::Types<PointTunnelEffect, SquareTunnelEffect, StarfieldEffect>;
TYPED_TEST_SUITE(TunnelResourcesTest, Effects);

TYPED_TEST(TunnelResourcesTest, OneBufferWhileInitialisedNoneAfterRelease) {
  auto effect = std::make_unique<TypeParam>();
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  ASSERT_EQ(effect->Init(), 0);
  ASSERT_EQ(effect->Init(), 0);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 1);
  this->RenderFrame(*effect, 0.02f);
  effect->Release();
  effect->Release();
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  ASSERT_EQ(effect->Init(), 0);
  effect.reset();
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
}

TYPED_TEST(TunnelResourcesTest, InitFailsWhenTheBufferCannotBeMade) {
  TypeParam effect;
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1);
  EXPECT_EQ(effect.Init(), -1);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  // A frame without a buffer draws nothing and does not crash.
  this->RenderFrame(effect, 0.02f);
  EXPECT_EQ(effect.Init(), 0);
}

}  // namespace
