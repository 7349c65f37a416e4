// sRGB conversion, error diffusion and 16-bit packing of painted pictures.
#include "texel_quantiser.h"

#include <array>
#include <cmath>

namespace painter {

namespace {

// Levels per channel for R5G6B5: red and blue 5 bits (31), green 6 bits (63).
constexpr std::array<int, 3> kMaxLevel = {31, 63, 31};

int Quantise(float srgb, int maxLevel) {
  const int level = static_cast<int>(std::lround(srgb * static_cast<float>(maxLevel)));
  return level < 0 ? 0 : (level > maxLevel ? maxLevel : level);
}

void Put16(std::vector<uint8_t>& out, size_t index, uint16_t value) {
  out[index * 2] = static_cast<uint8_t>(value & 0xFF);
  out[index * 2 + 1] = static_cast<uint8_t>(value >> 8);
}

uint16_t Get16(const std::vector<uint8_t>& in, size_t index) {
  return static_cast<uint16_t>(in[index * 2] | (in[index * 2 + 1] << 8));
}

uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
uint8_t Widen6(unsigned v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }

}  // namespace

float LinearToSrgb(float linear) {
  const float v = Clamp01(linear);
  return v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
}

std::vector<uint8_t> QuantiseR5G6B5(const LinearImage& image) {
  const int w = image.width();
  const int h = image.height();
  // Working copy in sRGB 0..1 that receives the diffused error.
  std::vector<std::array<float, 3>> work(static_cast<size_t>(w) * static_cast<size_t>(h));
  std::vector<bool> black(work.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Vec3& c = image.At(x, y);
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
      work[i] = {LinearToSrgb(c.x), LinearToSrgb(c.y), LinearToSrgb(c.z)};
      black[i] = c.x <= 0.0f && c.y <= 0.0f && c.z <= 0.0f;
    }
  }
  std::vector<uint8_t> out(work.size() * 2);
  for (int y = 0; y < h; ++y) {
    const bool leftToRight = (y % 2) == 0;
    const int step = leftToRight ? 1 : -1;
    for (int n = 0; n < w; ++n) {
      const int x = leftToRight ? n : w - 1 - n;
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
      if (black[i]) {
        Put16(out, i, 0);
        continue;
      }
      std::array<int, 3> level{};
      std::array<float, 3> error{};
      for (int ch = 0; ch < 3; ++ch) {
        level[ch] = Quantise(work[i][ch], kMaxLevel[ch]);
        error[ch] = work[i][ch] - static_cast<float>(level[ch]) / static_cast<float>(kMaxLevel[ch]);
      }
      Put16(out, i, static_cast<uint16_t>((level[0] << 11) | (level[1] << 5) | level[2]));
      // Floyd-Steinberg weights 7/16 ahead, 3/16 behind-below, 5/16 below, 1/16 ahead-below.
      auto spread = [&](int dx, int dy, float weight) {
        const int nx = x + dx;
        const int ny = y + dy;
        if (nx < 0 || nx >= w || ny >= h) return;
        const size_t j = static_cast<size_t>(ny) * static_cast<size_t>(w) + static_cast<size_t>(nx);
        for (int ch = 0; ch < 3; ++ch) work[j][ch] += error[ch] * weight;
      };
      spread(step, 0, 7.0f / 16.0f);
      spread(-step, 1, 3.0f / 16.0f);
      spread(0, 1, 5.0f / 16.0f);
      spread(step, 1, 1.0f / 16.0f);
    }
  }
  return out;
}

std::vector<uint8_t> QuantiseA1R5G5B5(const LinearImage& image, const std::vector<bool>& opaque) {
  const int w = image.width();
  const int h = image.height();
  std::vector<uint8_t> out(static_cast<size_t>(w) * static_cast<size_t>(h) * 2);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
      if (!opaque[i]) {
        Put16(out, i, 0);
        continue;
      }
      const Vec3& c = image.At(x, y);
      const int r = Quantise(LinearToSrgb(c.x), 31);
      const int g = Quantise(LinearToSrgb(c.y), 31);
      const int b = Quantise(LinearToSrgb(c.z), 31);
      Put16(out, i, static_cast<uint16_t>(0x8000 | (r << 10) | (g << 5) | b));
    }
  }
  return out;
}

std::vector<uint8_t> ExpandR5G6B5(const std::vector<uint8_t>& texels) {
  const size_t count = texels.size() / 2;
  std::vector<uint8_t> rgba(count * 4);
  for (size_t i = 0; i < count; ++i) {
    const uint16_t v = Get16(texels, i);
    rgba[i * 4 + 0] = Widen5((v >> 11) & 31u);
    rgba[i * 4 + 1] = Widen6((v >> 5) & 63u);
    rgba[i * 4 + 2] = Widen5(v & 31u);
    rgba[i * 4 + 3] = 255;
  }
  return rgba;
}

std::vector<uint8_t> ExpandA1R5G5B5(const std::vector<uint8_t>& texels) {
  const size_t count = texels.size() / 2;
  std::vector<uint8_t> rgba(count * 4);
  for (size_t i = 0; i < count; ++i) {
    const uint16_t v = Get16(texels, i);
    rgba[i * 4 + 0] = Widen5((v >> 10) & 31u);
    rgba[i * 4 + 1] = Widen5((v >> 5) & 31u);
    rgba[i * 4 + 2] = Widen5(v & 31u);
    rgba[i * 4 + 3] = (v & 0x8000u) ? 255 : 0;
  }
  return rgba;
}

}  // namespace painter
