// Turns linear-light pictures into the 16-bit texel layouts the program uploads, and back for previews.
#pragma once

#include <cstdint>
#include <vector>

#include "linear_image.h"

namespace painter {

// R5G6B5 little-endian bytes, rows top to bottom. Values are converted to sRGB and error-diffused
// (serpentine Floyd-Steinberg) so smooth gradients do not band at 5 and 6 bits per channel. Pixels
// that are exactly black stay 0x0000 and absorb any error reaching them, which keeps black
// backgrounds free of stray dither dots.
std::vector<uint8_t> QuantiseR5G6B5(const LinearImage& image);

// A1R5G5B5 little-endian bytes. Pixels where opaque is false become 0x0000; the others carry the
// alpha bit 0x8000 and their colour rounded to 5 bits per channel (no dithering: sprites are tiny).
std::vector<uint8_t> QuantiseA1R5G5B5(const LinearImage& image, const std::vector<bool>& opaque);

// Expands 16-bit texels to 8-bit RGBA for previews; each channel's top bits are repeated into the
// low bits so full scale maps to 255. R5G6B5 is always opaque; A1R5G5B5 takes alpha from bit 15.
std::vector<uint8_t> ExpandR5G6B5(const std::vector<uint8_t>& texels);
std::vector<uint8_t> ExpandA1R5G5B5(const std::vector<uint8_t>& texels);

// sRGB encoding of one linear channel value, clamped to 0..1.
float LinearToSrgb(float linear);

}  // namespace painter
