// Banded solids.
#include "effects/solids_effect.h"

#include <bit>
#include <cmath>
#include <new>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"
#include "gfx/vertex_formats.h"

namespace {

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2π

// The camera looks along -y from 500 units out with a 36 degree horizontal field of view.
constexpr float kFieldOfView = std::bit_cast<float>(0x3F20D97Au);  // 0.6283184
constexpr float kEyeDistance = 500.0f;
constexpr float kFarPlane = 1000.0f;

// Projection space to frame pixels: half the 320 by 240 frame on each axis. Y is not flipped, so
// the solids stand upside down and a rising z sinks them down the screen.
constexpr float kHalfWidth = 160.0f;
constexpr float kHalfHeight = 120.0f;

// Sway of the solid's centre: 100 units across, 50 in depth, and its rest height and depth.
constexpr float kSwayX = 100.0f;
constexpr float kSwayY = 50.0f;
constexpr float kRestZ = -30.0f;
// Distance the solid travels (down and away) at full sink: sink² × 400.
constexpr float kSinkDistance = 400.0f;

// Seconds of a solid's turn spent rising in and sinking out at the two ends.
constexpr float kRiseEnd = 2.0f;
constexpr float kSinkStart = 8.0f;

// Texture coordinates in the band columns (u × 64 falls in columns 5, 9, 1 and 13 under point
// sampling) and the row offsets that go with them; the bands repeat every 64 screen rows through
// wrap addressing.
constexpr float kRowsPerBand = 64.0f;
constexpr float kUWarmCool = 0.078125f;
constexpr float kUBlue = 0.140625f;
constexpr float kUGrey = 0.0234375f;
constexpr float kUGold = 0.203125f;
constexpr float kVBlue = 0.1578125f;
constexpr float kVBlueShifted = 0.6578125f;
constexpr float kVFacing = 0.0078125f;
// Colour faces sample the palette's white area and take their colour from the vertex.
constexpr float kUVWhite = 0.5f;

const RenderStatePair kStates[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},  {D3DRS_CULLMODE, D3DCULL_CCW},     {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},     {D3DRS_ALPHABLENDENABLE, FALSE},
};

// Palette columns 4..7: a warm ramp up and down over rows 0..31, a cool one over rows 32..63.
constexpr uint32_t kWarm[16] = {0xFF402000, 0xFF4C2800, 0xFF5C2C00, 0xFF683400, 0xFF783C00, 0xFF844400,
                                0xFF944C00, 0xFFA05400, 0xFFB05C00, 0xFFC86800, 0xFFD48400, 0xFFE0A800,
                                0xFFECCC30, 0xFFFCF400, 0xFFFCF8C0, 0xFFFCFCFC};
constexpr uint32_t kCool[16] = {0xFF1C1C60, 0xFF242468, 0xFF30306C, 0xFF3C3C7C, 0xFF484890, 0xFF5858A0,
                                0xFF6868B4, 0xFF7878C4, 0xFF8888D8, 0xFF9C9CE8, 0xFFB0B0FC, 0xFFC0C0FC,
                                0xFFD0D0FC, 0xFFDCDCFC, 0xFFECECFC, 0xFFFCFCFC};

uint32_t Argb(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

}  // namespace

SolidsEffect::SolidsEffect()
    : vertexBuffer_(nullptr),
      paletteTexture_(nullptr),
      projected_{},
      combinedMatrix_(identityMatrix),
      worldMatrix_(identityMatrix),
      angleSpeeds_{1.2f, 0.9f, 0.7f, 2.0f},
      angles_{0.0f, 0.0f, 0.0f, 0.0f},
      // Starting a second into the turn, the first solid has the stage for 9 s.
      cycleTime_(1.0f),
      sink_(0.0f),
      solids_{},
      currentSolid_(0) {
  for (int i = 0; i < kSolidModelCount; ++i) {
    const SolidModel& model = solidModels[i];
    solids_[i] = {model.vertices, model.vertexCount, model.faces, model.faceCount, nullptr};
  }
  camera_.eye = {0.0f, kEyeDistance, 0.0f};
  camera_.target = {0.0f, 0.0f, 0.0f};
  camera_.farPlane = kFarPlane;
  camera_.fieldOfView = kFieldOfView;
  camera_.LookAt();
  camera_.ApplyProjection();
  camera_.ApplyView();
}

SolidsEffect::~SolidsEffect() { SolidsEffect::Release(); }

void SolidsEffect::BuildPalette(uint32_t* texels) {
  for (int r = 0; r < kPaletteSize; ++r) {
    uint32_t* row = texels + r * kPaletteSize;
    // Grey: two sine periods down the texture.
    float greyWave = (std::sin(static_cast<float>(2 * r) * kTwoPi / 64.0f) + 1.0f) * 127.5f;
    uint32_t grey = static_cast<uint32_t>(static_cast<int>(greyWave));
    // One sine period down the texture, 0..1.
    float f = (std::sin(static_cast<float>(r) * kTwoPi / 64.0f) + 1.0f) * 0.5f;
    uint32_t ramp = 127u + static_cast<uint32_t>(static_cast<int>(128.0f * f));
    uint32_t full = static_cast<uint32_t>(static_cast<int>(255.0f * f));
    uint32_t warmCool = r < 16 ? kWarm[r] : r < 32 ? kWarm[31 - r] : r < 48 ? kCool[r - 32] : kCool[63 - r];

    for (int c = 0; c < kPaletteSize; ++c) {
      uint32_t texel;
      if (c < 4) {
        texel = 0xFF000000u + grey * 0x010101u;
      } else if (c < 8) {
        texel = warmCool;
      } else if (c < 12) {
        texel = Argb(ramp, ramp, 255u);
      } else if (c < 16) {
        texel = Argb(ramp, full, 0u);
      } else {
        texel = 0xFFFFFFFFu;
      }
      row[c] = texel;
    }
  }
}

float SolidsEffect::SinkAt(float t) {
  if (t < kRiseEnd) return (kRiseEnd - t) * 0.5f;
  if (t < kSinkStart) return 0.0f;
  return (t - kSinkStart) * 0.5f;
}

float SolidsEffect::FaceBrightness(const Vector3& n, const Matrix4& world) {
  const float(&m)[4][4] = world.m;
  float x = n.x * m[0][0] + n.y * m[1][0] + n.z * m[2][0];
  float y = n.x * m[0][1] + n.y * m[1][1] + n.z * m[2][1];
  float z = n.x * m[0][2] + n.y * m[1][2] + n.z * m[2][2];
  return x + y + z;
}

int SolidsEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, kScreenVertexFvf,
                                    D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    return -1;
  }

  int result = 0;
  uint32_t* palette = new (std::nothrow) uint32_t[kPaletteTexels];
  if (palette == nullptr) {
    result = -1;
  } else {
    BuildPalette(palette);
    if (CreateTextureFromImage(palette, &paletteTexture_, kPaletteSize, kPaletteSize, D3DFMT_A8R8G8B8, 1) != 0) {
      result = -1;
    }
    delete[] palette;
  }

  for (SolidMesh& solid : solids_) {
    solid.faceNormals = new (std::nothrow) Vector3[solid.faceCount];
    if (solid.faceNormals == nullptr) return -1;
    for (int f = 0; f < solid.faceCount; ++f) {
      const uint32_t* index = solid.faces[f].index;
      solid.faceNormals[f] = FlatNormal(solid.vertices[index[0]], solid.vertices[index[1]], solid.vertices[index[2]]);
    }
  }
  return result;
}

void SolidsEffect::FreeFaceNormals() {
  for (SolidMesh& solid : solids_) {
    delete[] solid.faceNormals;
    solid.faceNormals = nullptr;
  }
}

void SolidsEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  FreeFaceNormals();
  if (paletteTexture_ != nullptr) {
    paletteTexture_->Release();
    paletteTexture_ = nullptr;
  }
}

void SolidsEffect::Render() {
  d3dDevice->SetTexture(0, paletteTexture_);
  d3dDevice->SetVertexShader(kScreenVertexFvf);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(ScreenVertex));
  ApplyRenderStates(kStates, 5);

  // World: tumble by a0..a2, sway with a3, and sink down and away by the square of the sink.
  SetIdentity(worldMatrix_);
  SetRotation(worldMatrix_, angles_[0], angles_[1], angles_[2]);
  float s = sink_ * sink_ * kSinkDistance;
  worldMatrix_.m[3][0] = std::sin(angles_[0]) * std::cos(angles_[3]) * kSwayX;
  worldMatrix_.m[3][1] = std::sin(angles_[1]) * std::sin(angles_[3]) * kSwayY - s;
  worldMatrix_.m[3][2] = s + kRestZ;

  Matrix4 scaledProjection = camera_.projectionMatrix;
  scaledProjection.m[0][0] *= kHalfWidth;
  scaledProjection.m[1][1] *= kHalfHeight;
  Matrix4 viewProjection;
  Multiply(camera_.viewMatrix, scaledProjection, viewProjection);
  Multiply(worldMatrix_, viewProjection, combinedMatrix_);

  const SolidMesh& solid = solids_[currentSolid_];
  const float(&c)[4][4] = combinedMatrix_.m;
  for (int i = 0; i < solid.vertexCount; ++i) {
    const Vector3& p = solid.vertices[i];
    float x = p.x * c[0][0] + p.y * c[1][0] + p.z * c[2][0] + c[3][0];
    float y = p.x * c[0][1] + p.y * c[1][1] + p.z * c[2][1] + c[3][1];
    float z = p.x * c[0][2] + p.y * c[1][2] + p.z * c[2][2] + c[3][2];
    float w = p.x * c[0][3] + p.y * c[1][3] + p.z * c[2][3] + c[3][3];
    projected_[i] = {x / w + kHalfWidth, y / w + kHalfHeight, z / w};
  }

  BYTE* bytes = nullptr;
  if (vertexBuffer_ != nullptr) vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  // Nothing to fill means nothing to draw; the frame goes on without the solid.
  if (bytes != nullptr) {
    ScreenVertex* v = reinterpret_cast<ScreenVertex*>(bytes);
    for (int f = 0; f < solid.faceCount; ++f) {
      const SolidFace& face = solid.faces[f];
      float brightness = 0.0f;
      if (face.kind >= kKindGreyBands) brightness = FaceBrightness(solid.faceNormals[f], worldMatrix_);
      for (int k = 0; k < 3; ++k) {
        const Vector3& q = projected_[face.index[k]];
        float rowV = q.y / kRowsPerBand;
        ScreenVertex& out = v[3 * f + k];
        out.x = q.x;
        out.y = q.y;
        out.z = q.z;
        out.rhw = 1.0f;
        out.diffuse = 0xFFFFFFFF;
        switch (face.kind) {
          case kKindWarmCoolBands:
            out.u = kUWarmCool;
            out.v = rowV + kVBlue;
            break;
          case kKindBlueBands:
            out.u = kUBlue;
            out.v = rowV + kVBlue;
            break;
          case kKindBlueBandsShifted:
            out.u = kUBlue;
            out.v = rowV + kVBlueShifted;
            break;
          case kKindGreyBands:
            out.u = kUGrey;
            out.v = rowV + brightness + kVFacing;
            break;
          case kKindGoldBands:
            out.u = kUGold;
            out.v = rowV + brightness + kVFacing;
            break;
          default:
            out.u = kUVWhite;
            out.v = kUVWhite;
            out.diffuse = face.kind;
            break;
        }
      }
    }
    vertexBuffer_->Unlock();
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, solid.faceCount);
  }

  const float d = frameTimer.deltaSeconds;
  cycleTime_ += d;
  if (cycleTime_ >= kCycleSeconds) {
    currentSolid_ = (currentSolid_ + 1) % kSolidModelCount;
    cycleTime_ -= kCycleSeconds;
  }
  sink_ = SinkAt(cycleTime_);

  for (int k = 0; k < 4; ++k) {
    angles_[k] += d * angleSpeeds_[k];
    if (angles_[k] > kTwoPi) angles_[k] -= kTwoPi;
  }
}
