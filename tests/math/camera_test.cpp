// The camera frame, the view and projection it builds, and what it loads into the device.
#include "gfx/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/graphics_device.h"

namespace {

// Stands in for the rendering device, which is not there yet: records SetTransform and refuses
// everything else.
class TransformRecorder : public IDirect3DDevice8 {
 public:
  struct Call {
    D3DTRANSFORMSTATETYPE state;
    D3DMATRIX matrix;
  };
  std::vector<Call> calls;

  HRESULT WINAPI SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
    calls.push_back({state, *matrix});
    return D3D_OK;
  }

  ULONG WINAPI AddRef() override { return 1; }
  ULONG WINAPI Release() override { return 1; }
  HRESULT WINAPI GetDeviceCaps(D3DCAPS8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI Reset(D3DPRESENT_PARAMETERS*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI Present(const RECT*, const RECT*, HWND, const RGNDATA*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8**) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture8**) override {
    return D3DERR_INVALIDCALL;
  }
  HRESULT WINAPI CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8**) override {
    return D3DERR_INVALIDCALL;
  }
  HRESULT WINAPI CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer8**) override {
    return D3DERR_INVALIDCALL;
  }
  HRESULT WINAPI SetRenderTarget(IDirect3DSurface8*, IDirect3DSurface8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetRenderTarget(IDirect3DSurface8**) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetDepthStencilSurface(IDirect3DSurface8**) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI BeginScene() override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI EndScene() override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetViewport(const D3DVIEWPORT8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetViewport(D3DVIEWPORT8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetMaterial(const D3DMATERIAL8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetMaterial(D3DMATERIAL8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetLight(DWORD, const D3DLIGHT8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetLight(DWORD, D3DLIGHT8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI LightEnable(DWORD, BOOL) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetLightEnable(DWORD, BOOL*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetRenderState(D3DRENDERSTATETYPE, DWORD*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetTexture(DWORD, IDirect3DBaseTexture8**) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetTexture(DWORD, IDirect3DBaseTexture8*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI DrawIndexedPrimitive(D3DPRIMITIVETYPE, UINT, UINT, UINT, UINT) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT, const void*, UINT) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetVertexShader(DWORD) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetVertexShader(DWORD*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetStreamSource(UINT, IDirect3DVertexBuffer8*, UINT) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetStreamSource(UINT, IDirect3DVertexBuffer8**, UINT*) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI SetIndices(IDirect3DIndexBuffer8*, UINT) override { return D3DERR_INVALIDCALL; }
  HRESULT WINAPI GetIndices(IDirect3DIndexBuffer8**, UINT*) override { return D3DERR_INVALIDCALL; }
};

class CameraTest : public testing::Test {
 protected:
  void SetUp() override { d3dDevice = &device; }
  void TearDown() override { d3dDevice = nullptr; }
  TransformRecorder device;
};

// The row vector (x, y, z, 1) times m.
Vector3 Transform(const Vector3& p, const Matrix4& m) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void ExpectOrthonormalRows(const Matrix4& m) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(Dot(m.m[i], m.m[j]), i == j ? 1.0f : 0.0f, 1e-6f) << i << "," << j;
  }
}

Camera LookingAt(Vector3 eye, Vector3 target, float roll = 0.0f) {
  Camera camera;
  camera.eye = eye;
  camera.target = target;
  camera.roll = roll;
  camera.LookAt();
  return camera;
}

TEST_F(CameraTest, ConstructionSetsTheDefaults) {
  Camera camera;
  EXPECT_EQ(camera.roll, 0.0f);
  EXPECT_EQ(camera.fieldOfView, 0.7853982f);
  EXPECT_EQ(camera.nearPlane, 1.0f);
  EXPECT_EQ(camera.farPlane, 10000.0f);
  EXPECT_EQ(camera.aspect, 1.3333334f);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(camera.cameraMatrix.m[k / 4][k % 4], identityMatrix.m[k / 4][k % 4]);
}

TEST_F(CameraTest, LookAtKeepsTheRightAxisHorizontal) {
  Camera camera = LookingAt({0.0f, -384.0f, 256.0f}, {0.0f, 0.0f, 0.0f});
  const Matrix4& m = camera.cameraMatrix;
  EXPECT_EQ(m.m[0][0], 1.0f);
  EXPECT_EQ(m.m[0][1], 0.0f);
  EXPECT_EQ(m.m[0][2], 0.0f);
  // back points from the target to the eye; up leans towards +z and away from the eye.
  const float length = std::sqrt(384.0f * 384.0f + 256.0f * 256.0f);
  EXPECT_FLOAT_EQ(m.m[2][1], -384.0f / length);
  EXPECT_FLOAT_EQ(m.m[2][2], 256.0f / length);
  EXPECT_FLOAT_EQ(m.m[1][1], 256.0f / length);
  EXPECT_FLOAT_EQ(m.m[1][2], 384.0f / length);
  EXPECT_EQ(m.m[3][0], 0.0f);
  EXPECT_EQ(m.m[3][1], -384.0f);
  EXPECT_EQ(m.m[3][2], 256.0f);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(m.m[r][3], r == 3 ? 1.0f : 0.0f);
  ExpectOrthonormalRows(m);
}

TEST_F(CameraTest, RollTurnsTheFrameAboutTheViewingAxis) {
  Camera level = LookingAt({100.0f, -50.0f, 80.0f}, {5.0f, 7.0f, -3.0f});
  Camera rolled = LookingAt({100.0f, -50.0f, 80.0f}, {5.0f, 7.0f, -3.0f}, 1.5707964f);
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(rolled.cameraMatrix.m[0][c], level.cameraMatrix.m[1][c], 1e-6f);
    EXPECT_NEAR(rolled.cameraMatrix.m[1][c], -level.cameraMatrix.m[0][c], 1e-6f);
    EXPECT_EQ(rolled.cameraMatrix.m[2][c], level.cameraMatrix.m[2][c]);
  }
  ExpectOrthonormalRows(rolled.cameraMatrix);
}

TEST_F(CameraTest, ViewPutsTheEyeAtTheOriginLookingDownPlusZ) {
  Camera camera = LookingAt({0.0f, -384.0f, 300.0f}, {0.0f, 0.0f, 0.0f});
  camera.ApplyView();
  ASSERT_EQ(device.calls.size(), 1u);
  EXPECT_EQ(device.calls[0].state, D3DTS_VIEW);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(device.calls[0].matrix.m[k / 4][k % 4], camera.viewMatrix.m[k / 4][k % 4]);

  const Matrix4& view = camera.viewMatrix;
  Vector3 eye = Transform(camera.eye, view);
  EXPECT_NEAR(eye.x, 0.0f, 1e-3f);
  EXPECT_NEAR(eye.y, 0.0f, 1e-3f);
  EXPECT_NEAR(eye.z, 0.0f, 1e-3f);
  // The target lies straight ahead at its distance; world +x is to the right, the z-up world's
  // vertical shows as up.
  Vector3 target = Transform(camera.target, view);
  EXPECT_NEAR(target.x, 0.0f, 1e-3f);
  EXPECT_NEAR(target.y, 0.0f, 1e-3f);
  EXPECT_NEAR(target.z, Length({0.0f, 384.0f, -300.0f}), 1e-3f);
  EXPECT_GT(Transform({10.0f, 0.0f, 0.0f}, view).x, 0.0f);
  EXPECT_GT(Transform({0.0f, 0.0f, 10.0f}, view).y, 0.0f);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(view.m[r][3], r == 3 ? 1.0f : 0.0f);
}

TEST_F(CameraTest, DefaultProjectionHasTheDocumentedValues) {
  Camera camera;
  camera.ApplyProjection();
  ASSERT_EQ(device.calls.size(), 1u);
  EXPECT_EQ(device.calls[0].state, D3DTS_PROJECTION);
  const Matrix4& p = camera.projectionMatrix;
  for (int k = 0; k < 16; ++k) EXPECT_EQ(device.calls[0].matrix.m[k / 4][k % 4], p.m[k / 4][k % 4]);

  EXPECT_NEAR(p.m[0][0], 2.4142135f, 1e-5f);  // 1 / tan(π/8)
  EXPECT_NEAR(p.m[1][1], 3.2189515f, 1e-5f);  // times 4/3
  EXPECT_FLOAT_EQ(p.m[2][2], 10000.0f / 9999.0f);
  EXPECT_FLOAT_EQ(p.m[3][2], -10000.0f / 9999.0f);
  EXPECT_EQ(p.m[2][3], 1.0f);
  for (int k = 0; k < 16; ++k) {
    int r = k / 4, c = k % 4;
    bool set = (r == c && r < 3) || (r == 2 && c == 3) || (r == 3 && c == 2);
    if (!set) {
      EXPECT_EQ(p.m[r][c], 0.0f) << r << "," << c;
    }
  }

  // A point on the near plane lands at depth 0, one on the far plane at depth 1.
  camera.farPlane = 1024.0f;
  camera.ApplyProjection();
  for (float z : {1.0f, 1024.0f}) {
    float w = z * camera.projectionMatrix.m[2][3];
    float depth = (z * camera.projectionMatrix.m[2][2] + camera.projectionMatrix.m[3][2]) / w;
    EXPECT_NEAR(depth, z == 1.0f ? 0.0f : 1.0f, 1e-6f);
  }
}

TEST_F(CameraTest, AnEyeStraightAboveOrOnTheTargetLeavesNoNaNs) {
  Camera above = LookingAt({0.0f, 0.0f, 500.0f}, {0.0f, 0.0f, 0.0f});
  for (int k = 0; k < 16; ++k) ASSERT_TRUE(std::isfinite(above.cameraMatrix.m[k / 4][k % 4])) << k;
  ExpectOrthonormalRows(above.cameraMatrix);
  EXPECT_EQ(above.cameraMatrix.m[0][0], 1.0f);

  Camera onTarget = LookingAt({3.0f, 3.0f, 3.0f}, {3.0f, 3.0f, 3.0f});
  for (int k = 0; k < 16; ++k) ASSERT_TRUE(std::isfinite(onTarget.cameraMatrix.m[k / 4][k % 4])) << k;
}

}  // namespace
