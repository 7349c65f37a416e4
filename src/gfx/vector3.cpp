// Vector arithmetic kept in 32-bit floats, each stored intermediate rounded as the effects expect.
#include "gfx/vector3.h"

#include <cmath>

float Length(const Vector3& v) {
  float sum = v.x * v.x + v.y * v.y + v.z * v.z;
  return std::sqrt(sum);
}
