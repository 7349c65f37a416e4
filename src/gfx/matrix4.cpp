// Matrix operations in 32-bit floats, in the operand order and rounding the effects rely on.
#include "gfx/matrix4.h"

#include <cmath>

const Matrix4 identityMatrix = {{{{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
                                   0.0f, 0.0f, 1.0f}}}};

void SetIdentity(Matrix4& matrix) { matrix = identityMatrix; }

void SetZero(Matrix4& matrix) {
  for (auto& row : matrix.m) {
    for (float& element : row) element = 0.0f;
  }
}

void Multiply(const Matrix4& a, const Matrix4& b, Matrix4& out) {
  Matrix4 product;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      product.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] + a.m[r][3] * b.m[3][c];
    }
  }
  out = product;
}

void SetRotation(Matrix4& matrix, float first, float second, float third) {
  float ca = std::cos(first), sa = std::sin(first);
  float cb = std::cos(second), sb = std::sin(second);
  float cc = std::cos(third), sc = std::sin(third);
  float(&m)[4][4] = matrix.m;
  m[0][0] = cc * cb;
  m[0][1] = sc * cb;
  m[0][2] = -sb;
  m[1][0] = cc * sb * sa - sc * ca;
  m[1][1] = sc * sb * sa + cc * ca;
  m[1][2] = cb * sa;
  m[2][0] = cc * sb * ca + sc * sa;
  m[2][1] = sc * sb * ca - cc * sa;
  m[2][2] = cb * ca;
}

void InvertRigid(Matrix4& matrix) {
  const Matrix4 k = matrix;
  float(&m)[4][4] = matrix.m;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) m[r][c] = k.m[c][r];
  }
  for (int j = 0; j < 3; ++j) m[3][j] = -(k.m[3][0] * m[0][j] + k.m[3][1] * m[1][j] + k.m[3][2] * m[2][j]);
}
