// Small three-component float vector for the painters' shading arithmetic (colours and normals).
#pragma once

#include <algorithm>
#include <cmath>

namespace painter {

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  constexpr Vec3() = default;
  constexpr Vec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  constexpr explicit Vec3(float v) : x(v), y(v), z(v) {}

  constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  constexpr Vec3 operator*(const Vec3& o) const { return {x * o.x, y * o.y, z * o.z}; }
  constexpr Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
  constexpr Vec3& operator+=(const Vec3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  constexpr Vec3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
};

constexpr Vec3 operator*(float s, const Vec3& v) { return v * s; }
constexpr float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float Length(const Vec3& v) { return std::sqrt(Dot(v, v)); }
inline Vec3 Normalize(const Vec3& v) {
  const float len = Length(v);
  return len > 0.0f ? v * (1.0f / len) : Vec3(0.0f, 0.0f, 1.0f);
}
constexpr Vec3 Mix(const Vec3& a, const Vec3& b, float t) { return a + (b - a) * t; }
constexpr float Mix(float a, float b, float t) { return a + (b - a) * t; }
constexpr float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
// Hermite step from 0 at edge0 to 1 at edge1; edge0 may lie above edge1 for a falling step.
constexpr float SmoothStep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}
// Mirror direction of d about the unit normal n.
constexpr Vec3 Reflect(const Vec3& d, const Vec3& n) { return d - n * (2.0f * Dot(d, n)); }

}  // namespace painter
