// The glyph-tile message panel.
#include "layers/message_panel.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "app/frame_timer.h"
#include "app/random_generator.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "gfx/pixel_snap.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"
#include "gfx/vertex_formats.h"
#include "scenes/effect_scheduler.h"

namespace {

constexpr int kColumns = MessagePanel::kColumns;
constexpr int kRows = MessagePanel::kRows;
constexpr int kCells = MessagePanel::kCells;

// Screen geometry: tiles are 32 pixels square, 32 apart across and 34 apart down, around the
// panel centre; the grid spans x 48..592 and y 147..451.
constexpr float kCentreX = 320.0f;
constexpr float kCentreY = 310.0f;
constexpr float kTileSize = 32.0f;
constexpr float kPanelZ = 0.9f;  // depth of the letter mask and of the stripes that must match it
constexpr float kHoldSeconds = 6.0f;
constexpr float kStartDelay = 4.0f;
constexpr float kZoomRate = 3.0f;     // t units per second: a tile grows in 1/3 s
constexpr float kStripeSpeed = 50.0f; // offset units per second; each unit moves the stripes 2 pixels
constexpr float kStripePeriod = 702.0f;  // the ramp repeats every 234 bands of 3 units
constexpr int kStripeRows = 82;
constexpr int kTileVertices = 4 * kCells;    // 612
constexpr int kTileIndices = 6 * kCells;     // 918
constexpr int kStripeVertices = 2 * kStripeRows;  // 164

// An inward spiral over the grid: starting at the top-left cell, following `firstLeg` along the
// border and turning each time the next cell is outside or already numbered.
constexpr std::array<int, kCells> MakeSpiral(bool clockwise) {
  std::array<int, kCells> order{};
  std::array<bool, kCells> seen{};
  // Clockwise: right, down, left, up. Counter-clockwise: down, right, up, left.
  const int di[4] = {clockwise ? 0 : 1, clockwise ? 1 : 0, clockwise ? 0 : -1, clockwise ? -1 : 0};
  const int dj[4] = {clockwise ? 1 : 0, clockwise ? 0 : 1, clockwise ? -1 : 0, clockwise ? 0 : -1};
  int i = 0, j = 0, heading = 0;
  for (int n = 0; n < kCells; ++n) {
    order[i * kColumns + j] = n;
    seen[i * kColumns + j] = true;
    int ni = i + di[heading], nj = j + dj[heading];
    if (ni < 0 || ni >= kRows || nj < 0 || nj >= kColumns || seen[ni * kColumns + nj]) {
      heading = (heading + 1) % 4;
      ni = i + di[heading];
      nj = j + dj[heading];
    }
    i = ni;
    j = nj;
  }
  return order;
}

constexpr std::array<int, kCells> MakeRing() {
  std::array<int, kCells> ring{};
  for (int i = 0; i < kRows; ++i) {
    for (int j = 0; j < kColumns; ++j) {
      int m = i;
      if (kRows - 1 - i < m) m = kRows - 1 - i;
      if (j < m) m = j;
      if (kColumns - 1 - j < m) m = kColumns - 1 - j;
      ring[i * kColumns + j] = m;
    }
  }
  return ring;
}

// Six bands of 39 colours, each from a dark colour up to white and back. Within a band the leading
// channel rises first, the second follows one step later and the third four steps later.
constexpr std::array<D3DCOLOR, MessagePanel::kRampEntries> MakeStripeRamp() {
  // Channel shifts (leading, second, third) per band: blue 0, green 8, red 16.
  const int order[6][3] = {{0, 8, 16}, {16, 8, 0}, {8, 16, 0}, {0, 16, 8}, {16, 0, 8}, {8, 0, 16}};
  std::array<D3DCOLOR, MessagePanel::kRampEntries> ramp{};
  for (int band = 0; band < 6; ++band) {
    for (int i = 0; i <= 19; ++i) {
      auto clamp = [](int v) { return v < 0 ? 0 : (v > 0xFF ? 0xFF : v); };
      int leading = clamp(0x22 + 0x11 * i);
      int second = clamp(0x11 * (i - 1));
      int third = clamp(0x11 * (i - 4));
      D3DCOLOR c = 0xFF000000u | (static_cast<D3DCOLOR>(leading) << order[band][0]) |
                   (static_cast<D3DCOLOR>(second) << order[band][1]) |
                   (static_cast<D3DCOLOR>(third) << order[band][2]);
      ramp[band * 39 + i] = c;
      ramp[band * 39 + 38 - i] = c;
    }
  }
  // The one exception to the rule.
  ramp[14] = 0xFFA5D6FF;
  ramp[24] = 0xFFA5D6FF;
  return ramp;
}

constexpr std::array<int, kCells> kSpiralA = MakeSpiral(true);
constexpr std::array<int, kCells> kSpiralB = MakeSpiral(false);
constexpr std::array<int, kCells> kRing = MakeRing();
constexpr std::array<D3DCOLOR, MessagePanel::kRampEntries> kStripeRamp = MakeStripeRamp();

const RenderStatePair kOutlineStates[] = {
    {D3DRS_ZENABLE, FALSE},       {D3DRS_CULLMODE, D3DCULL_NONE},   {D3DRS_LIGHTING, FALSE},
    {D3DRS_ALPHATESTENABLE, FALSE}, {D3DRS_ALPHABLENDENABLE, TRUE}, {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ONE}, {D3DRS_FOGENABLE, FALSE},
};
const RenderStatePair kMaskStates[] = {
    {D3DRS_ZENABLE, TRUE},         {D3DRS_ZFUNC, D3DCMP_ALWAYS}, {D3DRS_SRCBLEND, D3DBLEND_ZERO},
    {D3DRS_ALPHATESTENABLE, TRUE}, {D3DRS_ALPHAREF, 0},          {D3DRS_ALPHAFUNC, D3DCMP_EQUAL},
};
const RenderStatePair kStripeStates[] = {
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_ZFUNC, D3DCMP_EQUAL},
    {D3DRS_SHADEMODE, D3DSHADE_FLAT},
};
const RenderStatePair kRestoreStates[] = {
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
};

template <typename T>
void ReleaseAndClear(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

ScreenVertex* LockVertices(IDirect3DVertexBuffer8* buffer, DWORD flags) {
  BYTE* bytes = nullptr;
  buffer->Lock(0, 0, &bytes, flags);
  return reinterpret_cast<ScreenVertex*>(bytes);
}

}  // namespace

const int* MessagePanel::SpiralA() { return kSpiralA.data(); }
const int* MessagePanel::SpiralB() { return kSpiralB.data(); }
const int* MessagePanel::Ring() { return kRing.data(); }
const D3DCOLOR* MessagePanel::StripeRamp() { return kStripeRamp.data(); }

MessagePanel::MessagePanel()
    : tileVertexBuffer_(nullptr),
      stripeVertexBuffer_(nullptr),
      tileIndexBuffer_(nullptr),
      glyphTexture_(nullptr),
      holdTime_(kHoldSeconds),
      panelIndex_(-1),
      tileCount_(0),
      startNext_(true),
      startDelay_(kStartDelay),
      tiles_{},
      direction_(-1.0f),
      stripeOffset_(0.0f),
      orderPattern_(0) {}

MessagePanel::~MessagePanel() { Release(); }

int MessagePanel::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kTileVertices * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                    kScreenVertexFvf, D3DPOOL_DEFAULT, &tileVertexBuffer_) != D3D_OK) {
    return -1;
  }
  ScreenVertex* v = LockVertices(tileVertexBuffer_, D3DLOCK_DISCARD);
  for (int k = 0; k < kTileVertices; ++k) {
    v[k].z = kPanelZ;
    v[k].rhw = 1.0f;
    v[k].diffuse = 0xFFFFFFFF;
  }
  tileVertexBuffer_->Unlock();

  if (d3dDevice->CreateIndexBuffer(kTileIndices * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                   &tileIndexBuffer_) != D3D_OK) {
    return -1;
  }
  BYTE* bytes = nullptr;
  tileIndexBuffer_->Lock(0, 0, &bytes, 0);
  WORD* index = reinterpret_cast<WORD*>(bytes);
  for (int i = 0; i < kCells; ++i) {
    WORD base = static_cast<WORD>(4 * i);
    const WORD quad[6] = {base, static_cast<WORD>(base + 1), static_cast<WORD>(base + 2),
                          static_cast<WORD>(base + 2), static_cast<WORD>(base + 1), static_cast<WORD>(base + 3)};
    for (int k = 0; k < 6; ++k) *index++ = quad[k];
  }
  tileIndexBuffer_->Unlock();

  if (d3dDevice->CreateVertexBuffer(kStripeVertices * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                    kScreenVertexFvf, D3DPOOL_DEFAULT, &stripeVertexBuffer_) != D3D_OK) {
    return -1;
  }
  if (CreateTextureFromImage(embedded::images_glyph_atlas_raw, &glyphTexture_, 128, 128, D3DFMT_A1R5G5B5, 1) != 0) {
    return -1;
  }
  // After a device reset in mid-show the new tile buffer needs the panel's texture coordinates again.
  if (panelIndex_ != -1) BuildPanel(false);
  return 0;
}

void MessagePanel::Release() {
  ReleaseAndClear(tileVertexBuffer_);
  ReleaseAndClear(tileIndexBuffer_);
  ReleaseAndClear(stripeVertexBuffer_);
  ReleaseAndClear(glyphTexture_);
}

// The delay before cell (i, j) starts to grow, in units of 1/3 s, for the current order pattern.
float MessagePanel::OrderDelay(int i, int j) const {
  const int cell = kColumns * i + j;
  const bool evenRow = i % 2 == 0;
  const bool evenColumn = j % 2 == 0;
  const float sqrt80 = std::sqrt(80.0f);
  auto scaled = [](int value) { return static_cast<float>(value) * 10.0f / 153.0f; };
  switch (orderPattern_) {
    case 1: return static_cast<float>(4 - std::abs(4 - i)) * 10.0f / 8.0f;
    case 2: return static_cast<float>(8 - std::abs(8 - j)) * 10.0f / 16.0f;
    case 3: return std::sqrt(static_cast<float>((j - 8) * (j - 8) + (i - 4) * (i - 4))) * 10.0f / sqrt80;
    case 4: return scaled(evenRow ? 17 * i + j : 17 * i + 16 - j);
    case 5: return scaled(evenRow ? 17 * i + 16 - j : 17 * i + j);
    case 6: return scaled(17 * i + j);
    case 7: return scaled(153 - 17 * i - j);
    case 8: return scaled(evenRow ? 153 - 17 * i - j : 137 - 17 * i + j);
    case 9: return scaled(evenRow ? 137 - 17 * i + j : 153 - 17 * i - j);
    case 10: return scaled(i + 9 * j);
    case 11: return scaled(153 - 9 * j - i);
    case 12: return scaled(evenColumn ? i + 9 * j : 9 * j + 8 - i);
    case 13: return scaled(evenColumn ? 9 * j + 8 - i : i + 9 * j);
    case 14: return scaled(evenColumn ? 153 - 9 * j - i : 145 + i - 9 * j);
    case 15: return scaled(evenColumn ? 145 + i - 9 * j : 153 - 9 * j - i);
    case 20: return scaled(kSpiralA[cell]);
    case 21: return scaled(153 - kSpiralA[cell]);
    case 22: return scaled(kSpiralB[cell]);
    case 23: return scaled(153 - kSpiralB[cell]);
    case 24: return static_cast<float>(kRing[cell]) * 5.0f / 4.0f;
    case 25: return static_cast<float>(4 - kRing[cell]) * 5.0f / 4.0f;
    case 26:
      return std::sqrt(static_cast<float>(80 - (i - 4) * (i - 4) - (j - 8) * (j - 8))) * 10.0f / sqrt80;
    case 27: return static_cast<float>(std::abs(4 - i)) * 10.0f / 8.0f;
    case 28: return static_cast<float>(std::abs(8 - j)) * 10.0f / 16.0f;
    default:  // 16..19 and 29..31: random order
      return static_cast<float>(NextRandom()) * 10.0f / 32767.0f;
  }
}

void MessagePanel::BuildPanel(bool withTiming) {
  orderPattern_ = NextRandom() & (kOrderPatterns - 1);
  tileCount_ = 0;
  const unsigned char* panel = embedded::panels_panels_raw + kCells * panelIndex_;
  ScreenVertex* v = LockVertices(tileVertexBuffer_, 0);
  for (int i = 0; i < kRows; ++i) {
    for (int j = 0; j < kColumns; ++j) {
      unsigned char g = panel[kColumns * i + j];
      if (g == kEmptyCell) continue;
      Tile& tile = tiles_[tileCount_];
      if (withTiming) {
        tile.x = static_cast<float>(32 * j - 272);
        tile.y = static_cast<float>(34 * i - 163);
        tile.t = orderPattern_ == 0 ? 1.0f : OrderDelay(i, j) + 1.0f;
      }
      float u = static_cast<float>(16 * (g % 8)) / 128.0f;
      float tv = static_cast<float>(17 * (g / 8)) / 128.0f;
      ScreenVertex* q = v + 4 * tileCount_;
      q[0].u = u;
      q[0].v = tv;
      q[1].u = u + 0.125f;
      q[1].v = tv;
      q[2].u = u;
      q[2].v = tv + 0.125f;
      q[3].u = u + 0.125f;
      q[3].v = tv + 0.125f;
      ++tileCount_;
    }
  }
  tileVertexBuffer_->Unlock();
}

void MessagePanel::UpdateTiles() {
  const bool frozen = sequenceFrozen != 0;
  if (startNext_) {
    if (frozen) {
      tileCount_ = 0;
      return;
    }
    direction_ = -1.0f;
    holdTime_ = kHoldSeconds;
    panelIndex_ = (panelIndex_ + 1) % kPanelCount;
    startNext_ = false;
    BuildPanel(true);
  } else if (frozen) {
    direction_ = 1.0f;
    holdTime_ = 0.0f;
  }

  const float delta = frameTimer.deltaSeconds;
  const float step = delta * direction_ * kZoomRate;
  ScreenVertex* v = LockVertices(tileVertexBuffer_, 0);
  int settled = 0;
  for (int k = 0; k < tileCount_; ++k) {
    Tile& tile = tiles_[k];
    float sx = 0.0f, sy = 0.0f;
    if (tile.t < 1.0f) {
      sx = (16.0f - 16.0f * tile.t) / 16.0f;
      sy = (17.0f - 17.0f * tile.t) / 17.0f;
    }
    float left = kCentreX + sx * tile.x;
    float right = kCentreX + sx * (tile.x + kTileSize);
    float top = kCentreY + sy * tile.y;
    float bottom = kCentreY + sy * (tile.y + kTileSize);
    ScreenVertex* q = v + 4 * k;
    q[0].x = left;
    q[0].y = top;
    q[1].x = right;
    q[1].y = top;
    q[2].x = left;
    q[2].y = bottom;
    q[3].x = right;
    q[3].y = bottom;

    tile.t += step;
    if (direction_ == -1.0f && tile.t < 0.0f) {
      tile.t = 0.0f;
      ++settled;
    } else if (direction_ == 1.0f && tile.t > 1.0f) {
      tile.t = 1.0f;
      ++settled;
    }
  }

  if (settled == tileCount_ || direction_ == 0.0f) {
    if (direction_ == -1.0f) {
      direction_ += 1.0f;
    } else if (direction_ == 0.0f) {
      holdTime_ -= delta;
      if (holdTime_ <= 0.0f) direction_ += 1.0f;
    } else {
      direction_ = -1.0f;
      startNext_ = true;
    }
  }
  tileVertexBuffer_->Unlock();
}

MessagePanel::StripeStart MessagePanel::StripeStartAt(float offset) {
  const int n = SnapScroll(offset);
  const int q = n / 3;
  return StripeStart{q, static_cast<float>(2 * (3 * q - n))};
}

void MessagePanel::FillStripes() {
  ScreenVertex* v = LockVertices(stripeVertexBuffer_, 0);
  const auto [q, y0] = StripeStartAt(stripeOffset_);
  for (int k = 0; k < kStripeRows; ++k, v += 2) {
    float y = y0 + static_cast<float>(6 * k);
    D3DCOLOR colour = kStripeRamp[(q + k) % kRampEntries];
    v[0] = ScreenVertex{48.0f, y, kPanelZ, 1.0f, colour, 0.0f, 0.0f};
    v[1] = ScreenVertex{592.0f, y, kPanelZ, 1.0f, colour, 0.0f, 0.0f};
  }
  stripeVertexBuffer_->Unlock();
}

void MessagePanel::Render() {
  const float delta = frameTimer.deltaSeconds;
  if (startDelay_ > 0.0f) {
    startDelay_ -= delta;
    return;
  }
  UpdateTiles();
  FillStripes();

  d3dDevice->SetTexture(0, glyphTexture_);
  d3dDevice->SetStreamSource(0, tileVertexBuffer_, sizeof(ScreenVertex));
  d3dDevice->SetVertexShader(kScreenVertexFvf);
  d3dDevice->SetIndices(tileIndexBuffer_, 0);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);

  // Outline colours add onto the frame; black and transparent texels add nothing.
  ApplyRenderStates(kOutlineStates, 8);
  if (tileCount_ != 0) d3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4 * tileCount_, 0, 2 * tileCount_);
  // The letter interiors (alpha 0) write depth 0.9 without changing colour: the stripes' mask.
  // This relies on depth writes staying enabled, which no scene changes.
  ApplyRenderStates(kMaskStates, 6);
  if (tileCount_ != 0) d3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4 * tileCount_, 0, 2 * tileCount_);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);

  d3dDevice->SetTexture(0, nullptr);
  d3dDevice->SetStreamSource(0, stripeVertexBuffer_, sizeof(ScreenVertex));
  ApplyRenderStates(kStripeStates, 4);
  d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2 * kStripeRows - 2);
  ApplyRenderStates(kRestoreStates, 2);

  stripeOffset_ += delta * kStripeSpeed;
  if (stripeOffset_ >= kStripePeriod) stripeOffset_ -= kStripePeriod;
}
