// A point or direction in the z-up world of the 3D effects: three 32-bit floats.
#pragma once

struct Vector3 {
  float x;
  float y;
  float z;
};

// sqrt(x² + y² + z²), with the sum rounded to a float before the root.
float Length(const Vector3& v);
