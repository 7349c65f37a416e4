// The horizon backdrop.
#include "layers/horizon_backdrop.h"

#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"
#include "gfx/vertex_formats.h"

namespace {

// Frame rows 100..200: row 200 is where the reflected post pass cuts the picture, so the blue
// meets the water line and continues, mirrored, below it.
const ColourVertex kSky[4] = {
    {0.0f, 100.0f, 0.5f, 1.0f, 0x00000000},
    {320.0f, 100.0f, 0.5f, 1.0f, 0x00000000},
    {0.0f, 200.0f, 0.5f, 1.0f, 0xFF0000FF},
    {320.0f, 200.0f, 0.5f, 1.0f, 0xFF0000FF},
};

const RenderStatePair kStates[] = {
    {D3DRS_ZENABLE, FALSE},       {D3DRS_ALPHABLENDENABLE, FALSE}, {D3DRS_LIGHTING, FALSE},
    {D3DRS_SPECULARENABLE, FALSE}, {D3DRS_CULLMODE, D3DCULL_NONE},  {D3DRS_FOGENABLE, FALSE},
};

}  // namespace

HorizonBackdrop::~HorizonBackdrop() { Release(); }

int HorizonBackdrop::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(sizeof kSky, D3DUSAGE_WRITEONLY, kColourVertexFvf, D3DPOOL_DEFAULT,
                                    &vertexBuffer_) != D3D_OK) {
    return -1;
  }
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, 0);
  ColourVertex* v = reinterpret_cast<ColourVertex*>(bytes);
  for (int i = 0; i < 4; ++i) v[i] = kSky[i];
  vertexBuffer_->Unlock();
  return 0;
}

void HorizonBackdrop::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
}

void HorizonBackdrop::Render() {
  ApplyRenderStates(kStates, 6);
  d3dDevice->SetTexture(0, nullptr);
  d3dDevice->SetVertexShader(kColourVertexFvf);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(ColourVertex));
  d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}
