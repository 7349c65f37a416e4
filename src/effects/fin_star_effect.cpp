// Fin star and glass cube.
#include "effects/fin_star_effect.h"

#include "app/frame_timer.h"
#include "effects/solid_models.h"
#include "gfx/graphics_device.h"

namespace {

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2π

// Every model sits 40 units above the origin the camera looks at.
constexpr float kModelLift = 40.0f;

const LitModel kModels[FinStarEffect::kModelCount] = {
    {finStarIndices.data(), finStarPositions.data(), 0xFF404040},        // opaque dark grey
    {cubeTriangleIndices.data(), glassCubePositions.data(), 0x900000FF},  // translucent blue
    {finStarIndices.data(), finStarPositions.data(), 0x90FFFFFF},        // translucent white
};

// The grey star draws the fins that are clockwise on screen, with the depth test on for all
// three passes.
const RenderStatePair kGreyStarStates[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},  {D3DRS_CULLMODE, D3DCULL_CCW},     {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},     {D3DRS_ALPHABLENDENABLE, FALSE},
};
// The cube shows its counter-clockwise triangles (its front, as the camera sees it), blended.
const RenderStatePair kGlassCubeStates[] = {
    {D3DRS_CULLMODE, D3DCULL_CW},          {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},   {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_LIGHTING, TRUE},
};
// The white star only switches the light off: it inherits the cube's culling and blending, so it
// draws exactly the fins the grey pass culled. The effect returns with those still set.
const RenderStatePair kWhiteStarStates[] = {
    {D3DRS_LIGHTING, FALSE},
};

const RenderStatePair* const kStateLists[FinStarEffect::kModelCount] = {kGreyStarStates, kGlassCubeStates,
                                                                        kWhiteStarStates};
constexpr int kStateCounts[FinStarEffect::kModelCount] = {5, 5, 1};

// A white directional light travelling along +y, towards the camera: the cube side nearest the
// camera, whose inward normal points the way the light travels, catches it fully.
const D3DLIGHT8 kLight = {
    D3DLIGHT_DIRECTIONAL,
    {1.0f, 1.0f, 1.0f, 1.0f},  // diffuse
    {1.0f, 1.0f, 1.0f, 1.0f},  // specular
    {1.0f, 1.0f, 1.0f, 1.0f},  // ambient
    {0.0f, 0.0f, 0.0f},        // position
    {0.0f, 1.0f, 0.0f},        // direction
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,  // range, falloff, attenuations, theta, phi
};

const D3DMATERIAL8 kMaterial = {
    {1.0f, 1.0f, 1.0f, 1.0f},  // diffuse
    {0.0f, 0.0f, 0.0f, 1.0f},  // ambient: unlit sides stay dark
    {1.0f, 1.0f, 1.0f, 1.0f},  // specular
    {0.0f, 0.0f, 0.0f, 0.0f},  // emissive
    50.0f,                     // power
};

}  // namespace

FinStarEffect::FinStarEffect()
    : vertexBuffers_{nullptr, nullptr, nullptr},
      angleSpeeds_{{-1.0f, 1.1f, 0.9f}, {1.7f, 1.5f, -1.6f}, {-1.0f, 1.1f, 0.9f}},
      // The two stars start and turn alike, so they stay in step for the whole run.
      angles_{{2.0f, 1.0f, 3.0f}, {0.0f, 3.0f, 1.0f}, {2.0f, 1.0f, 3.0f}} {
  camera_.eye = {0.0f, 1000.0f, 0.0f};
  camera_.target = {0.0f, 0.0f, 0.0f};
  camera_.nearPlane = 10.0f;
  camera_.farPlane = 2000.0f;
  camera_.LookAt();
}

FinStarEffect::~FinStarEffect() { FinStarEffect::Release(); }

const LitModel& FinStarEffect::model(int m) { return kModels[m]; }
const RenderStatePair* FinStarEffect::stateList(int m) { return kStateLists[m]; }
int FinStarEffect::stateCount(int m) { return kStateCounts[m]; }
const D3DLIGHT8& FinStarEffect::light() { return kLight; }
const D3DMATERIAL8& FinStarEffect::material() { return kMaterial; }

int FinStarEffect::Init() {
  Release();
  for (int m = 0; m < kModelCount; ++m) {
    if (d3dDevice->CreateVertexBuffer(kBufferBytes, D3DUSAGE_WRITEONLY, kVertexFvf, D3DPOOL_DEFAULT,
                                      &vertexBuffers_[m]) != D3D_OK) {
      return -1;
    }
    BYTE* bytes = nullptr;
    vertexBuffers_[m]->Lock(0, 0, &bytes, 0);
    // A buffer that cannot be filled would be drawn with whatever it holds.
    if (bytes == nullptr) return -1;
    FinStarVertex* v = reinterpret_cast<FinStarVertex*>(bytes);
    const LitModel& model = kModels[m];
    for (int t = 0; t < kLitModelTriangleCount; ++t) {
      const Vector3* corner[3];
      for (int k = 0; k < 3; ++k) corner[k] = &model.positions[model.indices[3 * t + k]];
      Vector3 n = FlatNormal(*corner[0], *corner[1], *corner[2]);
      for (int k = 0; k < 3; ++k) {
        *v++ = {corner[k]->x, corner[k]->y, corner[k]->z, n.x, n.y, n.z, model.colour};
      }
    }
    vertexBuffers_[m]->Unlock();
  }
  return 0;
}

void FinStarEffect::Release() {
  for (IDirect3DVertexBuffer8*& buffer : vertexBuffers_) {
    if (buffer != nullptr) {
      buffer->Release();
      buffer = nullptr;
    }
  }
}

Matrix4 FinStarEffect::WorldMatrix(int m) const {
  Matrix4 world = identityMatrix;
  SetRotation(world, angles_[m][0], angles_[m][1], angles_[m][2]);
  world.m[3][0] = 0.0f;
  world.m[3][1] = 0.0f;
  world.m[3][2] = kModelLift;
  return world;
}

void FinStarEffect::Render() {
  d3dDevice->SetTexture(0, nullptr);
  d3dDevice->SetVertexShader(kVertexFvf);
  d3dDevice->SetLight(0, &kLight);
  d3dDevice->LightEnable(0, TRUE);
  d3dDevice->SetMaterial(&kMaterial);
  camera_.ApplyProjection();
  camera_.ApplyView();

  const float d = frameTimer.deltaSeconds;
  for (int m = 0; m < kModelCount; ++m) {
    ApplyRenderStates(kStateLists[m], kStateCounts[m]);
    d3dDevice->SetStreamSource(0, vertexBuffers_[m], sizeof(FinStarVertex));
    Matrix4 world = WorldMatrix(m);
    d3dDevice->SetTransform(D3DTS_WORLD, &world);
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kLitModelTriangleCount);

    for (int k = 0; k < 3; ++k) {
      float& angle = angles_[m][k];
      angle += d * angleSpeeds_[m][k];
      if (angle < 0.0f) {
        angle += kTwoPi;
      } else if (angle >= kTwoPi) {
        angle -= kTwoPi;
      }
    }
  }
}
