// Bilinear runs at one v, eight pixels at a time (AVX2).
#include "bilinear_rows.h"

#include "wide_vectors.h"

namespace d3d8sw {

#if defined(D3D8SW_WIDE_VECTORS)

namespace {

// Texel index with the stage's addressing (see PixelState::uAnd).
inline int64_t Addressed(int64_t index, int32_t mask, int size) {
  int64_t i = index & mask;
  i = i < 0 ? 0 : i;
  return i > size - 1 ? size - 1 : i;
}

// Eight texel columns blended down by weight fv (16-bit lanes): the rows' texels top and bottom.
D3D8SW_WIDE __m256i LerpDown8(__m256i top, __m256i bottom, __m256i fv) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = Lerp16x16(_mm256_unpacklo_epi8(top, zero), _mm256_unpacklo_epi8(bottom, zero), fv);
  const __m256i hi = Lerp16x16(_mm256_unpackhi_epi8(top, zero), _mm256_unpackhi_epi8(bottom, zero), fv);
  return _mm256_packus_epi16(lo, hi);
}

// Columns first .. first + count - 1 of texel rows y0 and y1 (addressed) blended down by fv into
// `columns`, which holds count rounded up to eight, and eight more, values afterwards.
[[gnu::target("avx2")]] void BlendColumnsDown(const PixelState& s, int64_t first, int count, int64_t tv,
                                              uint32_t* columns) {
  const TextureLevelView& tex = s.texture;
  const int64_t iv = tv >> kTexelFractionBits;
  const __m256i fv = _mm256_set1_epi16(static_cast<int16_t>((tv >> (kTexelFractionBits - 8)) & 0xFF));
  const uint32_t* row0 = tex.texels + Addressed(iv, s.vAnd, tex.height) * tex.pitch;
  const uint32_t* row1 = tex.texels + Addressed(iv + 1, s.vAnd, tex.height) * tex.pitch;
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(tex.alphaOr));
  int k = 0;
  for (; k < count; k += 8) {
    // Eight columns inside the texture (addressing leaves them as they are) load at once.
    if (first + k >= 0 && first + k + 8 <= tex.width && k + 8 <= count) {
      const __m256i top = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row0 + first + k));
      const __m256i bottom = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row1 + first + k));
      _mm256_store_si256(reinterpret_cast<__m256i*>(columns + k),
                         LerpDown8(_mm256_or_si256(top, alpha), _mm256_or_si256(bottom, alpha), fv));
      continue;
    }
    // Others one at a time, addressed (columns past the run's last read its last).
    alignas(32) uint32_t top[8], bottom[8];
    for (int i = 0; i < 8; ++i) {
      const int64_t x = Addressed(k + i < count ? first + k + i : first + count - 1, s.uAnd, tex.width);
      top[i] = row0[x];
      bottom[i] = row1[x];
    }
    _mm256_store_si256(reinterpret_cast<__m256i*>(columns + k),
                       LerpDown8(_mm256_or_si256(_mm256_load_si256(reinterpret_cast<const __m256i*>(top)), alpha),
                                 _mm256_or_si256(_mm256_load_si256(reinterpret_cast<const __m256i*>(bottom)), alpha),
                                 fv));
  }
  // Eight more, read by the last group's loads and never used.
  _mm256_store_si256(reinterpret_cast<__m256i*>(columns + k), _mm256_setzero_si256());
}

template <bool kAdd>
[[gnu::target("avx2")]] void ShadeRow(const PixelState& s, const SpanJob& j, const FlatStage& stage,
                                      uint32_t targetAlpha) {
  constexpr int64_t kHalf = int64_t{1} << (kTexelFractionBits - 1);
  const int n = j.count;
  const int64_t du = j.du;
  const int64_t tu = j.u - kHalf;
  const int64_t a = tu >> kTexelFractionBits, b = (tu + du * (n - 1)) >> kTexelFractionBits;
  const int64_t first = a < b ? a : b;
  const int count = static_cast<int>((a < b ? b : a) - first + 2);
  alignas(32) uint32_t columns[BilinearRows::kMaxColumns + 16];
  BlendColumnsDown(s, first, count, j.v - kHalf, columns);

  // Pixel i sits at rel_i = tu + i du - first 2^32 (>= 0 along the run, below 2^43). Its column is
  // rel_i >> 32 and its weight (rel_i >> 24) & 255: each lane holds rel_i >> 24 (`high`) and
  // rel_i & (2^24 - 1) (`low`), which step by eight pixels exactly with a carry between them.
  const int64_t rel = tu - first * (int64_t{1} << kTexelFractionBits);
  alignas(32) int32_t high0[8], low0[8];
  for (int i = 0; i < 8; ++i) {
    const int64_t r = rel + du * i;
    high0[i] = static_cast<int32_t>(r >> 24);
    low0[i] = static_cast<int32_t>(r & 0xFFFFFF);
  }
  __m256i high = _mm256_load_si256(reinterpret_cast<const __m256i*>(high0));
  __m256i low = _mm256_load_si256(reinterpret_cast<const __m256i*>(low0));
  const int64_t step = 8 * du;
  const __m256i stepHigh = _mm256_set1_epi32(static_cast<int32_t>(step >> 24));
  const __m256i stepLow = _mm256_set1_epi32(static_cast<int32_t>(step & 0xFFFFFF));
  const __m256i lowMask = _mm256_set1_epi32(0xFFFFFF);
  const __m256i byteMask = _mm256_set1_epi32(0xFF);
  // Each pixel's weight in its four 16-bit channel lanes, for the low and high unpacked halves.
  const __m256i spreadLow = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1,
                                             0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1);
  const __m256i spreadHigh = _mm256_setr_epi8(8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1,
                                              8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaOr = _mm256_set1_epi32(static_cast<int>(stage.alphaOr));
  const __m256i multiplier = MultiplierLanes8(stage.multiply);
  const __m256i keep = _mm256_set1_epi32(static_cast<int>(stage.keep));
  const __m256i put = _mm256_set1_epi32(static_cast<int>(stage.put));
  const __m256i outAlpha = _mm256_set1_epi32(static_cast<int>(targetAlpha));
  const bool modulate = stage.modulate;
  uint32_t* out = j.colour;
  int64_t groupRel = rel;
  for (int i = 0; i < n; i += 8) {
    const int valid = n - i < 8 ? n - i : 8;
    // The group's columns lie within eight of the lower of its first and last pixel's.
    const int64_t firstColumn = groupRel >> kTexelFractionBits;
    const int64_t lastColumn = (groupRel + du * (valid - 1)) >> kTexelFractionBits;
    const int64_t base = firstColumn < lastColumn ? firstColumn : lastColumn;
    const __m256i index = _mm256_sub_epi32(_mm256_srai_epi32(high, 8), _mm256_set1_epi32(static_cast<int32_t>(base)));
    const __m256i left =
        _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + base)), index);
    const __m256i right =
        _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + base + 1)), index);
    const __m256i weights = _mm256_and_si256(high, byteMask);
    const __m256i lo = Lerp16x16(_mm256_unpacklo_epi8(left, zero), _mm256_unpacklo_epi8(right, zero),
                                 _mm256_shuffle_epi8(weights, spreadLow));
    const __m256i hi = Lerp16x16(_mm256_unpackhi_epi8(left, zero), _mm256_unpackhi_epi8(right, zero),
                                 _mm256_shuffle_epi8(weights, spreadHigh));
    __m256i src = _mm256_or_si256(_mm256_packus_epi16(lo, hi), alphaOr);
    if (modulate) src = ModulateConst8(src, multiplier);
    src = _mm256_or_si256(_mm256_and_si256(src, keep), put);
    if constexpr (kAdd) src = _mm256_adds_epu8(src, Load8(out + i, valid));
    Store8(out + i, _mm256_or_si256(src, outAlpha), valid);

    low = _mm256_add_epi32(low, stepLow);
    high = _mm256_add_epi32(_mm256_add_epi32(high, stepHigh), _mm256_srli_epi32(low, 24));
    low = _mm256_and_si256(low, lowMask);
    groupRel += step;
  }
}

}  // namespace

void BilinearRows::Shade(const PixelState& s, const SpanJob& j, const FlatStage& stage, BlendMode blend,
                         uint32_t targetAlpha) {
  if (blend == BlendMode::kAdd) {
    ShadeRow<true>(s, j, stage, targetAlpha);
  } else {
    ShadeRow<false>(s, j, stage, targetAlpha);
  }
}

#else

void BilinearRows::Shade(const PixelState&, const SpanJob&, const FlatStage&, BlendMode, uint32_t) {}

#endif

}  // namespace d3d8sw
