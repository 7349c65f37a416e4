// The camera of a 3D effect: an eye, a target and a roll make the camera frame; the view and
// projection built from it are loaded into the device and kept for effects that combine them with
// their own matrices. The world is z-up.
#pragma once

#include "gfx/matrix4.h"
#include "gfx/vector3.h"

struct Camera {
  Camera();

  Vector3 eye;              // camera position; the owner sets it before LookAt
  Vector3 target;           // point looked at; the owner sets it before LookAt
  float roll;               // radians about the viewing axis
  float fieldOfView;        // horizontal, radians
  float nearPlane;          // distance of the near clipping plane
  float farPlane;           // distance of the far clipping plane
  float aspect;             // width over height
  Matrix4 cameraMatrix;     // rows right, up, back, eye: the camera's frame in world space
  Matrix4 viewMatrix;       // the matrix last loaded as D3DTS_VIEW
  Matrix4 projectionMatrix; // the matrix last loaded as D3DTS_PROJECTION

  // Builds the camera matrix from eye, target and roll.
  void LookAt();
  // Builds the view matrix from the camera matrix and loads it into the device.
  void ApplyView();
  // Builds the projection matrix from field of view, aspect and planes and loads it.
  void ApplyProjection();
};
