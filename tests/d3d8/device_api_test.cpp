// The API front: reference counts, pools and Reset, Clear, locks, argument checks, calls outside
// the drawn subset, test controls, capabilities and presentation to the host.
#include <cstring>
#include <functional>

#include "device_fixture.h"

namespace {

using DeviceApiTest = DeviceFixture;

TEST_F(DeviceApiTest, GettersAddReferencesAndObjectsDieAtZero) {
  // The device's own surfaces count on the device.
  IDirect3DSurface8* target = nullptr;
  ASSERT_EQ(device_->GetRenderTarget(&target), D3D_OK);
  EXPECT_EQ(device_->AddRef(), 3u);
  EXPECT_EQ(device_->Release(), 2u);
  EXPECT_EQ(target->Release(), 1u);
  IDirect3DSurface8* depth = nullptr;
  ASSERT_EQ(device_->GetDepthStencilSurface(&depth), D3D_OK);
  EXPECT_EQ(depth->Release(), 1u);

  // A level surface counts on its texture; a live texture holds its device.
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  EXPECT_EQ(device_->AddRef(), 3u);
  device_->Release();
  IDirect3DSurface8* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  EXPECT_EQ(texture->AddRef(), 3u);
  EXPECT_EQ(texture->Release(), 2u);
  EXPECT_EQ(level->Release(), 1u);
  IDirect3DDevice8* owner = nullptr;
  ASSERT_EQ(texture->GetDevice(&owner), D3D_OK);
  EXPECT_EQ(owner, device_);
  owner->Release();
  EXPECT_EQ(texture->Release(), 0u);
  EXPECT_EQ(device_->AddRef(), 2u);
  EXPECT_EQ(device_->Release(), 1u);
}

TEST_F(DeviceApiTest, ReleasedResourcesStayUsableWhileBound) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  IDirect3DVertexBuffer8* buffer = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(4 * sizeof(TlVertex), D3DUSAGE_WRITEONLY, kFvfTl, D3DPOOL_DEFAULT, &buffer),
            D3D_OK);
  device_->SetTexture(0, texture);
  device_->SetStreamSource(0, buffer, sizeof(TlVertex));
  EXPECT_EQ(texture->Release(), 0u);
  EXPECT_EQ(buffer->Release(), 0u);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(device_), 0);
  UseTarget(4, 4);
  device_->SetVertexShader(kFvfTl);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  device_->SetTexture(0, nullptr);
  device_->SetStreamSource(0, nullptr, 0);
}

TEST_F(DeviceApiTest, ResetRefusesWhileADefaultPoolResourceLives) {
  IDirect3DTexture8* target = nullptr;
  ASSERT_EQ(device_->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target),
            D3D_OK);
  IDirect3DTexture8* managed = nullptr;
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, 0, D3DFMT_A1R5G5B5, D3DPOOL_MANAGED, &managed), D3D_OK);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(device_), 1);
  EXPECT_EQ(device_->Reset(&params_), D3DERR_INVALIDCALL);
  target->Release();
  // A reference to the device's own surfaces blocks Reset as well.
  IDirect3DSurface8* back = nullptr;
  device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  EXPECT_EQ(device_->Reset(&params_), D3DERR_INVALIDCALL);
  back->Release();
  EXPECT_EQ(device_->Reset(&params_), D3D_OK);
  // Managed resources survive.
  D3DLOCKED_RECT locked;
  EXPECT_EQ(managed->LockRect(0, &locked, nullptr, 0), D3D_OK);
  managed->UnlockRect(0);
  managed->Release();
}

TEST_F(DeviceApiTest, AFailedResetLeavesTheDeviceLostUntilOneSucceeds) {
  d3d8test::FailResets(1);
  EXPECT_NE(device_->Reset(&params_), D3D_OK);
  IDirect3DVertexBuffer8* buffer = nullptr;
  EXPECT_EQ(device_->CreateVertexBuffer(80, D3DUSAGE_WRITEONLY, 0x44, D3DPOOL_DEFAULT, &buffer), D3DERR_DEVICELOST);
  EXPECT_EQ(buffer, nullptr);
  IDirect3DTexture8* managed = nullptr;
  EXPECT_EQ(device_->CreateTexture(16, 16, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &managed), D3D_OK);
  managed->Release();
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  // A refused format pair fails the same way; a reset that works brings the device back.
  D3DPRESENT_PARAMETERS refused = params_;
  d3d8test::RefuseDisplayFormats(refused.BackBufferFormat, refused.AutoDepthStencilFormat);
  EXPECT_NE(device_->Reset(&refused), D3D_OK);
  d3d8test::ResetControls();
  ASSERT_EQ(device_->Reset(&params_), D3D_OK);
  ASSERT_EQ(device_->CreateVertexBuffer(80, D3DUSAGE_WRITEONLY, 0x44, D3DPOOL_DEFAULT, &buffer), D3D_OK);
  buffer->Release();
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(DeviceApiTest, ResetRestoresEveryDefault) {
  IDirect3DTexture8* texture = MakeTexture(1, 1, {0});
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device_->SetRenderState(D3DRS_FOGEND, FloatBits(100.0f));
  device_->SetRenderState(D3DRS_POINTSIZE_MAX, FloatBits(8.0f));
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device_->SetTexture(0, texture);
  D3DMATRIX m = {{{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1}}};
  device_->SetTransform(D3DTS_WORLD, &m);
  device_->SetTransform(D3DTS_VIEW, &m);
  D3DMATERIAL8 material = {};
  material.Diffuse = {1, 1, 1, 1};
  device_->SetMaterial(&material);
  device_->LightEnable(2, TRUE);
  D3DVIEWPORT8 viewport = {10, 10, 100, 100, 0.2f, 0.8f};
  device_->SetViewport(&viewport);
  device_->SetVertexShader(kFvfTl);

  ASSERT_EQ(device_->Reset(&params_), D3D_OK);

  struct Expected {
    D3DRENDERSTATETYPE state;
    DWORD value;
  };
  const Expected states[] = {
      {D3DRS_ZENABLE, D3DZB_TRUE},     {D3DRS_ZWRITEENABLE, TRUE},          {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
      {D3DRS_CULLMODE, D3DCULL_CCW},   {D3DRS_SHADEMODE, D3DSHADE_GOURAUD}, {D3DRS_LIGHTING, TRUE},
      {D3DRS_COLORVERTEX, TRUE},       {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
      {D3DRS_SPECULARENABLE, FALSE},   {D3DRS_AMBIENT, 0},                  {D3DRS_ALPHATESTENABLE, FALSE},
      {D3DRS_ALPHAREF, 0},             {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},    {D3DRS_ALPHABLENDENABLE, FALSE},
      {D3DRS_SRCBLEND, D3DBLEND_ONE},  {D3DRS_DESTBLEND, D3DBLEND_ZERO},    {D3DRS_FOGENABLE, FALSE},
      {D3DRS_FOGCOLOR, 0},             {D3DRS_FOGTABLEMODE, D3DFOG_NONE},   {D3DRS_FOGVERTEXMODE, D3DFOG_NONE},
      {D3DRS_FOGSTART, FloatBits(0)},  {D3DRS_FOGEND, FloatBits(1)},        {D3DRS_FOGDENSITY, FloatBits(1)},
      {D3DRS_RANGEFOGENABLE, FALSE},   {D3DRS_NORMALIZENORMALS, FALSE},     {D3DRS_POINTSIZE, FloatBits(1)},
      {D3DRS_POINTSIZE_MIN, FloatBits(0)}, {D3DRS_POINTSIZE_MAX, FloatBits(64)}, {D3DRS_POINTSPRITEENABLE, FALSE},
      {D3DRS_POINTSCALEENABLE, FALSE}, {D3DRS_CLIPPING, TRUE},              {D3DRS_SOFTWAREVERTEXPROCESSING, FALSE},
  };
  for (const Expected& e : states) {
    DWORD value = 0xDEADBEEF;
    ASSERT_EQ(device_->GetRenderState(e.state, &value), D3D_OK);
    EXPECT_EQ(value, e.value) << "render state " << e.state;
  }
  DWORD value = 0;
  device_->GetTextureStageState(0, D3DTSS_COLOROP, &value);
  EXPECT_EQ(value, DWORD{D3DTOP_MODULATE});
  device_->GetTextureStageState(0, D3DTSS_ALPHAOP, &value);
  EXPECT_EQ(value, DWORD{D3DTOP_SELECTARG1});
  device_->GetTextureStageState(0, D3DTSS_COLORARG2, &value);
  EXPECT_EQ(value, DWORD{D3DTA_CURRENT});
  device_->GetTextureStageState(0, D3DTSS_ADDRESSU, &value);
  EXPECT_EQ(value, DWORD{D3DTADDRESS_WRAP});
  device_->GetTextureStageState(0, D3DTSS_MIPFILTER, &value);
  EXPECT_EQ(value, DWORD{D3DTEXF_NONE});
  device_->GetTextureStageState(1, D3DTSS_COLOROP, &value);
  EXPECT_EQ(value, DWORD{D3DTOP_DISABLE});
  IDirect3DBaseTexture8* bound = reinterpret_cast<IDirect3DBaseTexture8*>(1);
  device_->GetTexture(0, &bound);
  EXPECT_EQ(bound, nullptr);
  D3DMATRIX world;
  device_->GetTransform(D3DTS_WORLD, &world);
  EXPECT_EQ(world._11, 1.0f);
  EXPECT_EQ(world._41, 0.0f);
  D3DMATERIAL8 zero = {};
  D3DMATERIAL8 current;
  device_->GetMaterial(&current);
  EXPECT_EQ(std::memcmp(&current, &zero, sizeof zero), 0);
  BOOL enabled = TRUE;
  EXPECT_EQ(device_->GetLightEnable(2, &enabled), D3DERR_INVALIDCALL);  // no light set any more
  D3DVIEWPORT8 vp;
  device_->GetViewport(&vp);
  EXPECT_EQ(vp.X, 0u);
  EXPECT_EQ(vp.Width, 640u);
  EXPECT_EQ(vp.Height, 480u);
  EXPECT_EQ(vp.MaxZ, 1.0f);
  DWORD shader = 1;
  device_->GetVertexShader(&shader);
  EXPECT_EQ(shader, 0u);
}

TEST_F(DeviceApiTest, ResetAppliesNewFormatsAndTheFullScreenFlag) {
  EXPECT_FALSE(host_.IsFullScreen());
  params_.Windowed = FALSE;
  params_.BackBufferFormat = D3DFMT_R5G6B5;
  params_.AutoDepthStencilFormat = D3DFMT_D16;
  ASSERT_EQ(device_->Reset(&params_), D3D_OK);
  EXPECT_TRUE(host_.IsFullScreen());
  IDirect3DSurface8* back = nullptr;
  device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  D3DSURFACE_DESC desc;
  back->GetDesc(&desc);
  back->Release();
  EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
  IDirect3DSurface8* depth = nullptr;
  device_->GetDepthStencilSurface(&depth);
  depth->GetDesc(&desc);
  depth->Release();
  EXPECT_EQ(desc.Format, D3DFMT_D16);
}

TEST_F(DeviceApiTest, ClearCoversTheViewportOrTheGivenRectanglesInsideIt) {
  UseTarget(8, 8);
  D3DVIEWPORT8 viewport = {2, 1, 4, 5, 0, 1};
  device_->SetViewport(&viewport);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1, 0), D3D_OK);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool inside = x >= 2 && x < 6 && y >= 1 && y < 6;
      EXPECT_EQ(Pixel(x, y), inside ? 0xFF0000FFu : 0u) << x << "," << y;
    }
  }
  // Rectangles are clipped to the viewport.
  D3DRECT rects[2] = {{0, 0, 3, 3}, {5, 4, 9, 9}};
  ASSERT_EQ(device_->Clear(2, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 0.25f, 0), D3D_OK);
  EXPECT_EQ(Pixel(2, 1), 0xFFFF0000u);
  EXPECT_EQ(Pixel(1, 1), 0u);
  EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
  EXPECT_EQ(Pixel(6, 5), 0u);
  EXPECT_EQ(Pixel(3, 3), 0xFF0000FFu);
  std::vector<uint32_t> depth = DepthValues();
  EXPECT_EQ(depth[1 * 640 + 2], 0x40000000u);
  EXPECT_EQ(depth[1 * 640 + 1], 0xFFFFFFFFu);
}

TEST_F(DeviceApiTest, SetRenderTargetResetsTheViewport) {
  IDirect3DTexture8* texture = nullptr;
  device_->CreateTexture(64, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, &texture);
  IDirect3DSurface8* surface = nullptr;
  texture->GetSurfaceLevel(0, &surface);
  IDirect3DSurface8* depth = nullptr;
  device_->GetDepthStencilSurface(&depth);
  D3DVIEWPORT8 viewport = {1, 1, 2, 2, 0, 1};
  device_->SetViewport(&viewport);
  ASSERT_EQ(device_->SetRenderTarget(surface, depth), D3D_OK);
  device_->GetViewport(&viewport);
  EXPECT_EQ(viewport.X, 0u);
  EXPECT_EQ(viewport.Width, 64u);
  EXPECT_EQ(viewport.Height, 32u);
  // A depth buffer smaller than the target, or a colour surface as depth, is refused.
  EXPECT_EQ(device_->SetRenderTarget(nullptr, surface), D3DERR_INVALIDCALL);
  IDirect3DSurface8* back = nullptr;
  device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  ASSERT_EQ(device_->SetRenderTarget(back, depth), D3D_OK);
  back->Release();
  depth->Release();
  surface->Release();
  texture->Release();
}

TEST_F(DeviceApiTest, LockedTexturesReportTheirPitchAndSize) {
  struct Case {
    D3DFORMAT format;
    UINT width, height;
    INT pitch;
    UINT size;
  };
  const Case cases[] = {
      {D3DFMT_A8R8G8B8, 16, 4, 64, 256}, {D3DFMT_X8R8G8B8, 3, 3, 12, 36},  {D3DFMT_R5G6B5, 3, 2, 8, 16},
      {D3DFMT_A1R5G5B5, 128, 128, 256, 32768}, {D3DFMT_A4R4G4B4, 256, 256, 512, 131072},
      {D3DFMT_X1R5G5B5, 2, 2, 4, 8},     {D3DFMT_R8G8B8, 5, 1, 16, 16},    {D3DFMT_DXT1, 8, 8, 16, 32},
      {D3DFMT_DXT3, 8, 8, 32, 64},       {D3DFMT_DXT5, 16, 4, 64, 64},     {D3DFMT_DXT1, 2, 2, 8, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << " " << c.width << "x" << c.height);
    IDirect3DTexture8* t = nullptr;
    ASSERT_EQ(device_->CreateTexture(c.width, c.height, 1, 0, c.format, D3DPOOL_MANAGED, &t), D3D_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(t->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Size, c.size);
    EXPECT_EQ(desc.Width, c.width);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(t->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, c.pitch);
    std::memset(locked.pBits, 0xAB, c.size);  // the whole level is writable
    EXPECT_EQ(t->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    EXPECT_EQ(t->UnlockRect(0), D3DERR_INVALIDCALL);
    t->Release();
  }
}

TEST_F(DeviceApiTest, TextureLevelsAndSubRectangleLocks) {
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(device_->CreateTexture(16, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
  EXPECT_EQ(t->GetLevelCount(), 5u);  // 16x4, 8x2, 4x1, 2x1, 1x1
  D3DSURFACE_DESC desc;
  t->GetLevelDesc(2, &desc);
  EXPECT_EQ(desc.Width, 4u);
  EXPECT_EQ(desc.Height, 1u);
  RECT rect = {2, 1, 5, 3};
  D3DLOCKED_RECT locked;
  ASSERT_EQ(t->LockRect(0, &locked, &rect, 0), D3D_OK);
  D3DLOCKED_RECT whole;
  t->UnlockRect(0);
  t->LockRect(0, &whole, nullptr, 0);
  EXPECT_EQ(static_cast<uint8_t*>(locked.pBits), static_cast<uint8_t*>(whole.pBits) + 1 * 64 + 2 * 4);
  t->UnlockRect(0);
  RECT outside = {10, 0, 17, 2};
  EXPECT_EQ(t->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(t->LockRect(5, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  IDirect3DSurface8* level = nullptr;
  EXPECT_EQ(t->GetSurfaceLevel(5, &level), D3DERR_INVALIDCALL);
  t->Release();
}

TEST_F(DeviceApiTest, RenderTargetsAndDefaultPoolTexturesCannotBeLocked) {
  IDirect3DTexture8* target = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target), D3D_OK);
  D3DLOCKED_RECT locked;
  EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  target->Release();
  IDirect3DTexture8* plain = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &plain), D3D_OK);
  EXPECT_EQ(plain->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  plain->Release();
  IDirect3DSurface8* back = nullptr;
  device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  EXPECT_EQ(back->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  back->Release();
}

TEST_F(DeviceApiTest, TextureCreationChecks) {
  struct Case {
    UINT width, height;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    HRESULT result;
  };
  const Case cases[] = {
      {512, 256, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3D_OK},
      {512, 256, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, D3D_OK},
      {512, 256, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {64, 64, D3DUSAGE_RENDERTARGET, D3DFMT_A4R4G4B4, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
      {64, 64, 0, D3DFMT_D16, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {64, 64, 0, D3DFMT_A8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {0, 64, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {8192, 64, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {64, 64, D3DUSAGE_DEPTHSTENCIL, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
      {64, 64, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
      {64, 64, 0, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, D3DERR_INVALIDCALL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " usage " << c.usage << " format "
                                    << c.format << " pool " << c.pool);
    IDirect3DTexture8* t = reinterpret_cast<IDirect3DTexture8*>(1);
    EXPECT_EQ(device_->CreateTexture(c.width, c.height, 1, c.usage, c.format, c.pool, &t), c.result);
    if (c.result == D3D_OK) {
      t->Release();
    } else {
      EXPECT_EQ(t, nullptr);
    }
  }
}

TEST_F(DeviceApiTest, BufferLocksCoverRangesOrTheWhole) {
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(83160, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, kFvfTl, D3DPOOL_DEFAULT, &vb),
            D3D_OK);
  BYTE* whole = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &whole, D3DLOCK_DISCARD), D3D_OK);
  std::memset(whole, 1, 83160);
  vb->Unlock();
  BYTE* part = nullptr;
  ASSERT_EQ(vb->Lock(224, 2296, &part, 0), D3D_OK);
  EXPECT_EQ(part, whole + 224);
  EXPECT_EQ(part[0], 1);  // not discarded
  vb->Unlock();
  EXPECT_EQ(vb->Lock(83000, 200, &part, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
  D3DVERTEXBUFFER_DESC desc;
  vb->GetDesc(&desc);
  EXPECT_EQ(desc.Size, 83160u);
  EXPECT_EQ(desc.FVF, kFvfTl);
  EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
  vb->Release();
  IDirect3DIndexBuffer8* ib = nullptr;
  EXPECT_EQ(device_->CreateIndexBuffer(1836, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_MANAGED, &ib),
            D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->CreateIndexBuffer(1836, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3D_OK);
  ASSERT_EQ(ib->Lock(0, 0, &whole, 0), D3D_OK);
  ib->Unlock();
  ib->Release();
  EXPECT_EQ(device_->CreateVertexBuffer(0, 0, kFvfTl, D3DPOOL_DEFAULT, &vb), D3DERR_INVALIDCALL);
}

// Draws that would read outside their buffers are refused, not performed.
TEST_F(DeviceApiTest, DrawsOutsideTheirBuffersAreRefused) {
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(4 * sizeof(TlVertex), 0, kFvfTl, D3DPOOL_MANAGED, &vb), D3D_OK);
  IDirect3DIndexBuffer8* ib = nullptr;
  ASSERT_EQ(device_->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3D_OK);
  BYTE* data = nullptr;
  ib->Lock(0, 0, &data, 0);
  const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
  std::memcpy(data, indices, sizeof indices);
  ib->Unlock();
  UseTarget(4, 4);
  device_->SetVertexShader(kFvfTl);
  device_->SetStreamSource(0, vb, sizeof(TlVertex));
  device_->SetIndices(ib, 0);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 3), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0xFFFFFFF0u, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 3, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 2), D3DERR_INVALIDCALL);  // index 3
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 3, 0, 2), D3DERR_INVALIDCALL);  // index 0
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 1, 2), D3DERR_INVALIDCALL);  // past the end
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 5, 0, 2), D3DERR_INVALIDCALL);  // past the VB
  device_->SetIndices(ib, 1);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3DERR_INVALIDCALL);  // base + 3 = 4
  // A stride shorter than the vertex format, or no stream at all.
  device_->SetStreamSource(0, vb, 20);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  device_->SetStreamSource(0, nullptr, 0);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  device_->SetIndices(nullptr, 0);
  ib->Release();
  vb->Release();
}

TEST_F(DeviceApiTest, DrawingFromProgramMemoryLeavesStreamZeroUnset) {
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(4 * sizeof(TlVertex), 0, kFvfTl, D3DPOOL_MANAGED, &vb), D3D_OK);
  UseTarget(4, 4);
  device_->SetStreamSource(0, vb, sizeof(TlVertex));
  ASSERT_EQ(DrawQuad(0, 0, 2, 2, 0xFFFFFFFF), D3D_OK);
  IDirect3DVertexBuffer8* stream = vb;
  UINT stride = 1;
  ASSERT_EQ(device_->GetStreamSource(0, &stream, &stride), D3D_OK);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(stride, 0u);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  vb->Release();
}

TEST_F(DeviceApiTest, NullPointersAreRefused) {
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->GetRenderTarget(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->GetDepthStencilSurface(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->GetDeviceCaps(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetViewport(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetMaterial(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetLight(0, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->GetRenderState(D3DRS_ZENABLE, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->Reset(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_INVALIDCALL);
  device_->BeginScene();
  device_->SetVertexShader(kFvfTl);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, nullptr, 28), D3DERR_INVALIDCALL);
  IDirect3DTexture8* t = MakeTexture(2, 2, {0, 0, 0, 0});
  EXPECT_EQ(t->LockRect(0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(t->GetLevelDesc(0, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(t->GetSurfaceLevel(0, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, nullptr, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_HAL, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(DeviceApiTest, CallsOutsideTheDrawnSubsetAreRefused) {
  TlVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {4, 0, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                      {0, 4, 0.5f, 1, 0xFFFFFFFF, 0, 1}, {4, 4, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
  // Outside BeginScene/EndScene.
  device_->SetVertexShader(kFvfTl);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TlVertex)), D3DERR_INVALIDCALL);
  UseTarget(4, 4);
  EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);  // already in a scene
  struct Case {
    const char* name;
    D3DPRIMITIVETYPE type;
    std::function<void(IDirect3DDevice8*)> set;
    std::function<void(IDirect3DDevice8*)> undo;
  };
  auto rs = [](D3DRENDERSTATETYPE s, DWORD v) { return [=](IDirect3DDevice8* d) { d->SetRenderState(s, v); }; };
  auto ts = [](DWORD stage, D3DTEXTURESTAGESTATETYPE s, DWORD v) {
    return [=](IDirect3DDevice8* d) { d->SetTextureStageState(stage, s, v); };
  };
  auto none = [](IDirect3DDevice8*) {};
  const Case cases[] = {
      {"line list", D3DPT_LINELIST, none, none},
      {"line strip", D3DPT_LINESTRIP, none, none},
      {"triangle fan", D3DPT_TRIANGLEFAN, none, none},
      {"subtractive blending", D3DPT_TRIANGLESTRIP,
       [](IDirect3DDevice8* d) {
         d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
         d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_SUBTRACT);
       },
       [](IDirect3DDevice8* d) {
         d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
         d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
       }},
      {"destination-alpha factor", D3DPT_TRIANGLESTRIP,
       [](IDirect3DDevice8* d) {
         d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
         d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
       },
       [](IDirect3DDevice8* d) {
         d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
         d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
       }},
      {"wireframe", D3DPT_TRIANGLESTRIP, rs(D3DRS_FILLMODE, D3DFILL_WIREFRAME), rs(D3DRS_FILLMODE, D3DFILL_SOLID)},
      {"stencil", D3DPT_TRIANGLESTRIP, rs(D3DRS_STENCILENABLE, TRUE), rs(D3DRS_STENCILENABLE, FALSE)},
      {"table fog", D3DPT_TRIANGLESTRIP,
       [](IDirect3DDevice8* d) {
         d->SetRenderState(D3DRS_FOGENABLE, TRUE);
         d->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
       },
       [](IDirect3DDevice8* d) {
         d->SetRenderState(D3DRS_FOGENABLE, FALSE);
         d->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
       }},
      {"second texture stage", D3DPT_TRIANGLESTRIP, ts(1, D3DTSS_COLOROP, D3DTOP_MODULATE),
       ts(1, D3DTSS_COLOROP, D3DTOP_DISABLE)},
      {"add operation", D3DPT_TRIANGLESTRIP, ts(0, D3DTSS_COLOROP, D3DTOP_ADD), ts(0, D3DTSS_COLOROP, D3DTOP_MODULATE)},
      {"texture factor argument", D3DPT_TRIANGLESTRIP, ts(0, D3DTSS_COLORARG2, D3DTA_TFACTOR),
       ts(0, D3DTSS_COLORARG2, D3DTA_CURRENT)},
      {"complemented argument", D3DPT_TRIANGLESTRIP, ts(0, D3DTSS_COLORARG2, D3DTA_CURRENT | D3DTA_COMPLEMENT),
       ts(0, D3DTSS_COLORARG2, D3DTA_CURRENT)},
  };
  IDirect3DTexture8* texture = MakeTexture(1, 1, {0xFFFFFFFF});
  device_->SetTexture(0, texture);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TlVertex)), D3D_OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.set(device_);
    EXPECT_EQ(device_->DrawPrimitiveUP(c.type, 1, quad, sizeof(TlVertex)), D3DERR_INVALIDCALL);
    c.undo(device_);
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TlVertex)), D3D_OK);
  }
  // Mirror addressing, with a texture in use.
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TlVertex)), D3DERR_INVALIDCALL);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  // Vertex formats with parts the device does not draw; the format stays set so draws fail too.
  EXPECT_EQ(device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 32), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_NORMAL), D3DERR_INVALIDCALL);
  // Point lights.
  D3DLIGHT8 light = {};
  light.Type = D3DLIGHT_POINT;
  device_->SetLight(0, &light);
  device_->LightEnable(0, TRUE);
  device_->SetRenderState(D3DRS_LIGHTING, TRUE);
  PointVertex tri[3] = {};
  device_->SetVertexShader(kFvfPoint);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(PointVertex)), D3DERR_INVALIDCALL);
  device_->SetTexture(0, nullptr);
  // Unknown states and stages.
  EXPECT_EQ(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(1), 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_DISABLE), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetStreamSource(1, nullptr, 0), D3DERR_INVALIDCALL);
}

TEST_F(DeviceApiTest, TestControlsShapeCreationAndFailures) {
  d3d8test::RefuseTextureFormat(D3DFMT_A8R8G8B8, d3d8test::TextureUse::kRenderTarget);
  IDirect3DTexture8* t = nullptr;
  EXPECT_EQ(device_->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t),
            D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->CreateTexture(512, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
  t->Release();
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 2);
  IDirect3DVertexBuffer8* vb[3] = {};
  EXPECT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb[0]), D3D_OK);
  EXPECT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb[1]), D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb[2]), D3D_OK);
  vb[0]->Release();
  vb[2]->Release();
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kIndexBuffer, 1);
  IDirect3DIndexBuffer8* ib = nullptr;
  EXPECT_EQ(device_->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3DERR_OUTOFVIDEOMEMORY);
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kTexture, 1);
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &t), D3DERR_OUTOFVIDEOMEMORY);
  d3d8test::FailResets(1);
  EXPECT_EQ(device_->Reset(&params_), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->Reset(&params_), D3D_OK);
}

TEST_F(DeviceApiTest, AdaptersAndCapabilitiesFollowTheControls) {
  D3DCAPS8 caps;
  ASSERT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
  EXPECT_EQ(caps.MaxPointSize, 64.0f);
  EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_HAL);
  EXPECT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d_->GetDeviceCaps(1, D3DDEVTYPE_HAL, &caps), D3DERR_INVALIDCALL);
  EXPECT_EQ(d3d_->GetAdapterCount(), 1u);

  d3d8test::SetAdapterCount(3);
  d3d8test::AdapterSetup noHal;
  noHal.hal = false;
  d3d8test::SetAdapter(0, noHal);
  d3d8test::AdapterSetup software;
  software.devCaps = 0;
  software.maxPointSize = 1.0f;
  d3d8test::SetAdapter(1, software);
  EXPECT_EQ(d3d_->GetAdapterCount(), 3u);
  EXPECT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3DERR_NOTAVAILABLE);
  ASSERT_EQ(d3d_->GetDeviceCaps(1, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_EQ(caps.DevCaps, 0u);
  EXPECT_EQ(caps.MaxPointSize, 1.0f);
  EXPECT_EQ(caps.AdapterOrdinal, 1u);
  // Hardware vertex processing needs the transform-and-lighting capability.
  IDirect3DDevice8* second = nullptr;
  D3DPRESENT_PARAMETERS p = params_;
  EXPECT_EQ(d3d_->CreateDevice(1, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &second),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(d3d_->CreateDevice(1, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &second), D3D_OK);
  second->Release();
  EXPECT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &second),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d_->CreateDevice(2, D3DDEVTYPE_HAL, nullptr, 0, &p, &second), D3DERR_INVALIDCALL);
  const auto& attempts = d3d8test::CreateDeviceAttempts();
  ASSERT_GE(attempts.size(), 4u);
  EXPECT_EQ(attempts.back().adapter, 2u);
  EXPECT_EQ(attempts.back().result, D3DERR_INVALIDCALL);
}

TEST_F(DeviceApiTest, RefusedDisplayFormatsFailCreationAndReset) {
  d3d8test::RefuseDisplayFormats(D3DFMT_X8R8G8B8, D3DFMT_D32);
  D3DPRESENT_PARAMETERS p = params_;
  IDirect3DDevice8* second = nullptr;
  EXPECT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &second),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(device_->Reset(&p), D3DERR_NOTAVAILABLE);
  p.AutoDepthStencilFormat = D3DFMT_D16;
  EXPECT_EQ(device_->Reset(&p), D3D_OK);
  p.BackBufferFormat = D3DFMT_A8R8G8B8;
  EXPECT_EQ(device_->Reset(&p), D3DERR_NOTAVAILABLE);
  p.BackBufferFormat = D3DFMT_X8R8G8B8;
  p.AutoDepthStencilFormat = D3DFMT_D24S8;
  EXPECT_EQ(device_->Reset(&p), D3DERR_NOTAVAILABLE);
}

TEST_F(DeviceApiTest, RuntimeCanBeMadeUnavailable) {
  d3d8test::SetRuntimeAvailable(false);
  EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
  d3d8test::SetRuntimeAvailable(true);
  EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION + 1), nullptr);
  IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(DeviceApiTest, PresentHandsTheBackBufferToTheHost) {
  for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}) {
    SCOPED_TRACE(format);
    CreateDevice(format, D3DFMT_D16);
    std::vector<uint32_t> frame;
    int width = 0, height = 0, pitch = 0;
    host_.SetPresentHandler([&](const uint32_t* pixels, int w, int h, int p) {
      width = w;
      height = h;
      pitch = p;
      frame.assign(pixels, pixels + static_cast<size_t>(h) * (p / 4));
    });
    device_->BeginScene();
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00123456, 1, 0);
    D3DRECT corner = {0, 0, 1, 1};
    device_->Clear(1, &corner, D3DCLEAR_TARGET, 0xFFFFFFFF, 1, 0);
    device_->EndScene();
    int before = host_.presentCount();
    ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(host_.presentCount(), before + 1);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(pitch, 2560);
    uint32_t expected = format == D3DFMT_R5G6B5 ? 0xFF103452u : 0xFF123456u;
    EXPECT_EQ(frame[640 * 479 + 639] & 0x00FFFFFF, expected & 0x00FFFFFF);
    EXPECT_EQ(frame[0] & 0x00FFFFFF, 0x00FFFFFFu);
    RECT source = {0, 0, 10, 10};
    EXPECT_EQ(device_->Present(&source, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
  }
}

TEST_F(DeviceApiTest, CreateDeviceSetsTheHostToFullScreenWhenNotWindowed) {
  D3DPRESENT_PARAMETERS p = params_;
  p.Windowed = FALSE;
  IDirect3DDevice8* second = nullptr;
  ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_MIXED_VERTEXPROCESSING, &p, &second), D3D_OK);
  EXPECT_TRUE(host_.IsFullScreen());
  second->Release();
}

}  // namespace
