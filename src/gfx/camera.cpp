// Camera frame, view and projection in 32-bit floats, loaded into the rendering device.
#include "gfx/camera.h"

#include <cmath>

#include "gfx/graphics_device.h"

namespace {

// Defaults every effect starts from: a 45 degree horizontal field of view on a 4:3 screen.
constexpr float kDefaultFieldOfView = 0.7853982f;  // π/4
constexpr float kDefaultNearPlane = 1.0f;
constexpr float kDefaultFarPlane = 10000.0f;
constexpr float kDefaultAspect = 1.3333334f;  // 4/3

}  // namespace

// Eye and target are zeroed only so that nothing reads indeterminate values; every owner sets
// them before its LookAt.
Camera::Camera()
    : eye{0.0f, 0.0f, 0.0f},
      target{0.0f, 0.0f, 0.0f},
      roll(0.0f),
      fieldOfView(kDefaultFieldOfView),
      nearPlane(kDefaultNearPlane),
      farPlane(kDefaultFarPlane),
      aspect(kDefaultAspect),
      cameraMatrix(identityMatrix),
      viewMatrix(identityMatrix),
      projectionMatrix(identityMatrix) {}

void Camera::LookAt() {
  Vector3 difference{eye.x - target.x, eye.y - target.y, eye.z - target.z};
  float length = Length(difference);
  // An eye on its target has no viewing direction: the frame stays as it was.
  if (length == 0.0f) return;
  float inverseLength = 1.0f / length;
  Vector3 back{difference.x * inverseLength, difference.y * inverseLength, difference.z * inverseLength};

  // right = (0, 0, 1) × back. Looking straight up or down leaves no horizontal right vector; the
  // world x axis then serves, so the frame stays orthonormal instead of filling with NaNs.
  Vector3 right{-back.y, back.x, 0.0f};
  float horizontal = right.x * right.x + right.y * right.y;
  if (horizontal == 0.0f) {
    right = {1.0f, 0.0f, 0.0f};
  } else {
    float root = std::sqrt(horizontal);
    float inverseRoot = 1.0f / root;
    right.x *= inverseRoot;
    right.y *= inverseRoot;
  }

  Vector3 up{back.y * right.z - back.z * right.y, back.z * right.x - back.x * right.z,
             back.x * right.y - back.y * right.x};

  float(&m)[4][4] = cameraMatrix.m;
  float cr = std::cos(roll), sr = std::sin(roll);
  const float rightRow[3] = {right.x, right.y, right.z};
  const float upRow[3] = {up.x, up.y, up.z};
  for (int c = 0; c < 3; ++c) {
    m[0][c] = cr * rightRow[c] + sr * upRow[c];
    m[1][c] = cr * upRow[c] - sr * rightRow[c];
  }
  m[2][0] = back.x;
  m[2][1] = back.y;
  m[2][2] = back.z;
  m[3][0] = eye.x;
  m[3][1] = eye.y;
  m[3][2] = eye.z;
}

void Camera::ApplyView() {
  viewMatrix = cameraMatrix;
  InvertRigid(viewMatrix);
  // Direct3D's view space is left-handed: z grows towards the target.
  for (auto& row : viewMatrix.m) row[2] = -row[2];
  d3dDevice->SetTransform(D3DTS_VIEW, &viewMatrix);
}

void Camera::ApplyProjection() {
  float half = fieldOfView / 2.0f;
  float t = std::tan(half);
  float xs = 1.0f / t;
  float ys = xs * aspect;
  float depth = farPlane - nearPlane;
  float q = farPlane / depth;
  SetZero(projectionMatrix);
  projectionMatrix.m[0][0] = xs;
  projectionMatrix.m[1][1] = ys;
  projectionMatrix.m[2][2] = q;
  projectionMatrix.m[2][3] = 1.0f;
  projectionMatrix.m[3][2] = -q * nearPlane;
  d3dDevice->SetTransform(D3DTS_PROJECTION, &projectionMatrix);
}
