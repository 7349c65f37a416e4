// Dot balls.
#include "effects/dot_balls_effect.h"

#include <bit>
#include <cmath>
#include <new>

#include "app/frame_timer.h"
#include "app/random_generator.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"

namespace {

constexpr float kPi = 3.141592f;     // slightly below pi
constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2 pi
constexpr float kBobHeight = 50.0f;  // amplitude of the vertical bob, world units
constexpr float kHalfWidth = 160.0f;   // centre of the 320 by 240 frame
constexpr float kHalfHeight = 120.0f;

constexpr float kRingStep = 0.20943947f;    // ~pi/15: 16 rings pole to pole
constexpr float kColumnStep = 0.1963495f;   // ~2pi/32
constexpr float kGridSpacing = 48.0f;       // between neighbouring balls of formations 0 and 2
constexpr float kGridEdge = 96.0f;          // two spacings from the middle
constexpr float kRippleHeight = 15.0f;      // formation 0
constexpr float kSpiralRadius = 128.0f;     // formation 1 before pinching
constexpr float kPinch = 0.0001f;           // formation 1: narrower by 1 + s² × kPinch
constexpr float kCloudSize = 196.0f;        // formation 3: edge of the cube it fills

constexpr UINT kBufferBytes = DotBallsEffect::kMaxDots * sizeof(ColourVertex);  // 256000
constexpr DWORD kBufferUsage = D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC;  // 0x248
// Constant for every dot: mid depth, unit RHW, opaque white.
constexpr float kDotZ = 0.5f;
constexpr D3DCOLOR kDotColour = 0xFFFFFFFF;

const RenderStatePair kDotStates[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},
};
constexpr int kDotStateCount = sizeof kDotStates / sizeof kDotStates[0];

// The projection stretched to frame pixels about the centre, times the view: VP = view × P.
void FrameViewProjection(const Camera& camera, Matrix4& viewProjection) {
  Matrix4 projection = camera.projectionMatrix;
  projection.m[0][0] *= kHalfWidth;
  projection.m[1][1] *= kHalfHeight;
  Multiply(camera.viewMatrix, projection, viewProjection);
}

}  // namespace

DotBallsEffect::DotBallsEffect()
    : vertexBuffer_(nullptr),
      world_(identityMatrix),
      formations_{},
      screenPositions_{},
      angles_{0.0f, 0.0f, 0.0f, 0.0f},
      speeds_{0.8f, 0.6f, 0.3f, 1.0f},
      facingDotCount_(0),
      rhoSquared_(0.0f),
      dotsDrawn_(0) {
  camera_.eye = {0.0f, 500.0f, 0.0f};
  camera_.target = {0.0f, 0.0f, 0.0f};
  camera_.fieldOfView = std::bit_cast<float>(0x3F20D97Au);  // 0.6283184, 36 degrees
  camera_.farPlane = 1000.0f;
  camera_.LookAt();
}

DotBallsEffect::~DotBallsEffect() { DotBallsEffect::Release(); }

void DotBallsEffect::BuildBallPoints(BallPoint* points) {
  for (int i = 0; i < 16; ++i) {
    for (int j = 0; j < 32; ++j) {
      float theta = static_cast<float>(i) * kRingStep;
      float phi = static_cast<float>(j) * kColumnStep;
      Vector3 p{kBallRadius * std::sin(theta) * std::cos(phi), kBallRadius * std::sin(theta) * std::sin(phi),
                kBallRadius * std::cos(theta)};
      float length = Length(p);
      points[32 * i + j] = {p, {p.x / length, p.y / length, p.z / length}};
    }
  }
}

void DotBallsEffect::BuildFormations(Vector3 (*formations)[kBallCount]) {
  // 0: rippled 5 by 5 grid standing upright, facing the camera.
  for (int a = 0; a < 5; ++a) {
    for (int b = 0; b < 5; ++b) {
      float fa = static_cast<float>(a), fb = static_cast<float>(b);
      formations[0][5 * a + b] = {kGridEdge - kGridSpacing * fb,
                                  kRippleHeight * std::cos(3.0f * fb * kPi / 4.0f) * std::cos(2.0f * fa * kPi / 4.0f),
                                  kGridEdge - kGridSpacing * fa};
    }
  }
  // 1: two turns of a spiral, pinched toward its ends.
  for (int k = 0; k < kBallCount; ++k) {
    float fk = static_cast<float>(k);
    float s = kSpiralRadius - fk * 256.0f / 24.0f;
    float q = 4.0f * fk * kPi / 24.0f;
    float m = s * s * kPinch + 1.0f;
    formations[1][k] = {kSpiralRadius * std::cos(q) / m, kSpiralRadius * std::sin(q) / m, s};
  }
  // 2: five pentagons stacked along z.
  for (int j = 0; j < 5; ++j) {
    for (int i = 0; i < 5; ++i) {
      float q = 2.0f * static_cast<float>(i) * kPi / 5.0f;
      formations[2][5 * j + i] = {kGridEdge * std::cos(q), kGridEdge * std::sin(q),
                                  kGridEdge - kGridSpacing * static_cast<float>(j)};
    }
  }
  // 3: random cloud.
  for (int k = 0; k < kBallCount; ++k) {
    float c[3];
    for (float& v : c) v = (0.5f - static_cast<float>(NextRandom()) / 32767.0f) * kCloudSize;
    formations[3][k] = {c[0], c[1], c[2]};
  }
}

int DotBallsEffect::WriteVisibleDots(const ScreenPosition* balls, const DotOffset* offsets, int offsetCount,
                                     float rhoSquared, ColourVertex* out) {
  if (offsetCount > kDotsPerBall) offsetCount = kDotsPerBall;
  // Discs can only touch when the centres are closer than two radii.
  const float neighbourLimit = 4.0f * rhoSquared;
  int written = 0;
  for (int b = 0; b < kBallCount; ++b) {
    const ScreenPosition& ball = balls[b];
    int occluders[kBallCount];
    int occluderCount = 0;
    for (int o = 0; o < kBallCount; ++o) {
      if (o == b || !(ball.z > balls[o].z)) continue;
      float dx = ball.x - balls[o].x;
      float dy = ball.y - balls[o].y;
      if (dx * dx + dy * dy < neighbourLimit) occluders[occluderCount++] = o;
    }
    for (int i = 0; i < offsetCount; ++i) {
      float x = offsets[i].x + ball.x;
      float y = offsets[i].y + ball.y;
      bool hidden = false;
      for (int k = 0; k < occluderCount; ++k) {
        const ScreenPosition& o = balls[occluders[k]];
        float dx = o.x - x;
        float dy = o.y - y;
        if (dx * dx + dy * dy < rhoSquared) {
          hidden = true;
          break;
        }
      }
      if (hidden) continue;
      out[written].x = x;
      out[written].y = y;
      ++written;
    }
  }
  return written;
}

int DotBallsEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kBufferBytes, kBufferUsage, kColourVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer_) !=
      D3D_OK) {
    return -1;
  }
  ballPoints_.reset(new (std::nothrow) BallPoint[kDotsPerBall]);
  dotOffsets_.reset(new (std::nothrow) DotOffset[kDotsPerBall]);
  if (!ballPoints_ || !dotOffsets_) return -1;
  BuildBallPoints(ballPoints_.get());
  facingDotCount_ = 0;

  // Written once here: every frame then locks without discard and changes X and Y only.
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  if (bytes != nullptr) {
    ColourVertex* v = reinterpret_cast<ColourVertex*>(bytes);
    for (int k = 0; k < kMaxDots; ++k) {
      v[k].z = kDotZ;
      v[k].rhw = 1.0f;
      v[k].diffuse = kDotColour;
    }
  }
  vertexBuffer_->Unlock();

  BuildFormations(formations_);
  return 0;
}

void DotBallsEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  ballPoints_.reset();
  dotOffsets_.reset();
  facingDotCount_ = 0;
}

void DotBallsEffect::Render() {
  camera_.ApplyProjection();
  camera_.ApplyView();
  d3dDevice->SetTexture(0, nullptr);
  ApplyRenderStates(kDotStates, kDotStateCount);

  SetIdentity(world_);
  SetRotation(world_, angles_[0], angles_[1], angles_[2]);
  Matrix4 viewProjection;
  FrameViewProjection(camera_, viewProjection);
  // A ball at the origin, projected: its radius in frame pixels (negative, as world x runs from
  // right to left on screen seen from this camera; only the square is used).
  const float rho = (kBallRadius * viewProjection.m[0][0] + viewProjection.m[3][0]) / viewProjection.m[3][3];
  rhoSquared_ = rho * rho;
  Matrix4 m;
  Multiply(world_, viewProjection, m);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(ColourVertex));
  d3dDevice->SetVertexShader(kColourVertexFvf);

  // One ball's facing half, projected about the origin; every ball reuses it by translation. The
  // camera looks along -y, so a rotated normal with y >= 0 faces it.
  const float(&w)[4][4] = world_.m;
  int facing = 0;
  for (int k = 0; k < kDotsPerBall; ++k) {
    const Vector3& n = ballPoints_[k].normal;
    float f = n.x * w[0][1] + n.y * w[1][1] + n.z * w[2][1];
    if (!(f >= 0.0f)) continue;
    const Vector3& p = ballPoints_[k].position;
    float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    float h = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    dotOffsets_[facing++] = {x / h, y / h};
  }
  facingDotCount_ = facing;

  world_.m[3][2] = kBobHeight * std::sin(angles_[3]);
  FrameViewProjection(camera_, viewProjection);
  Multiply(world_, viewProjection, m);

  const int next = (clock_.current + 1) % kFormationCount;
  const float morph = clock_.morph;
  const float g = 1.0f - morph;
  for (int k = 0; k < kBallCount; ++k) {
    const Vector3& a = formations_[clock_.current][k];
    const Vector3& b = formations_[next][k];
    Vector3 c{g * a.x + morph * b.x, g * a.y + morph * b.y, g * a.z + morph * b.z};
    float x = c.x * m.m[0][0] + c.y * m.m[1][0] + c.z * m.m[2][0] + m.m[3][0];
    float y = c.x * m.m[0][1] + c.y * m.m[1][1] + c.z * m.m[2][1] + m.m[3][1];
    float z = c.x * m.m[0][2] + c.y * m.m[1][2] + c.z * m.m[2][2] + m.m[3][2];
    float h = c.x * m.m[0][3] + c.y * m.m[1][3] + c.z * m.m[2][3] + m.m[3][3];
    screenPositions_[k] = {x / h + kHalfWidth, y / h + kHalfHeight, z};
  }

  // No discard: the Z, RHW and colour written by Init must survive.
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, 0);
  dotsDrawn_ = bytes == nullptr ? 0
                                : WriteVisibleDots(screenPositions_, dotOffsets_.get(), facingDotCount_, rhoSquared_,
                                                   reinterpret_cast<ColourVertex*>(bytes));
  vertexBuffer_->Unlock();
  d3dDevice->DrawPrimitive(D3DPT_POINTLIST, 0, dotsDrawn_);

  const float d = frameTimer.deltaSeconds;
  clock_.Advance(d, kFormationCount);
  for (int k = 0; k < 4; ++k) {
    angles_[k] += d * speeds_[k];
    if (angles_[k] > kTwoPi) angles_[k] -= kTwoPi;
  }
}
