// Vector length and the matrix operations the effects build their world transforms with.
#include "gfx/matrix4.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfx/vector3.h"

namespace {

constexpr float kPi = 3.14159265f;

Matrix4 Filled(float start) {
  Matrix4 m;
  for (int k = 0; k < 16; ++k) m.m[k / 4][k % 4] = start + 1.5f * static_cast<float>(k) - 0.25f * (k % 3);
  return m;
}

// The product written out in full, independent of the code under test.
Matrix4 Product(const Matrix4& a, const Matrix4& b) {
  Matrix4 p;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[r][k] * b.m[k][c];
      p.m[r][c] = sum;
    }
  }
  return p;
}

Matrix4 Rows3(float r0x, float r0y, float r0z, float r1x, float r1y, float r1z, float r2x, float r2y, float r2z) {
  Matrix4 m = identityMatrix;
  const float rows[3][3] = {{r0x, r0y, r0z}, {r1x, r1y, r1z}, {r2x, r2y, r2z}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) m.m[r][c] = rows[r][c];
  }
  return m;
}

void ExpectNear(const Matrix4& actual, const Matrix4& expected, float tolerance) {
  for (int k = 0; k < 16; ++k) {
    EXPECT_NEAR(actual.m[k / 4][k % 4], expected.m[k / 4][k % 4], tolerance) << "[" << k / 4 << "][" << k % 4 << "]";
  }
}

// The row vector (x, y, z, 1) times m.
Vector3 Transform(const Vector3& p, const Matrix4& m) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

TEST(VectorMath, LengthIsTheEuclideanNorm) {
  EXPECT_EQ(Length({3.0f, 4.0f, 12.0f}), 13.0f);
  EXPECT_EQ(Length({0.0f, 0.0f, 0.0f}), 0.0f);
  EXPECT_EQ(Length({0.0f, -384.0f, 0.0f}), 384.0f);
  EXPECT_FLOAT_EQ(Length({0.0f, -384.0f, 256.0f}), std::sqrt(212992.0f));
}

TEST(MatrixMath, IdentityAndZeroSetEverySixteenElements) {
  Matrix4 m = Filled(3.0f);
  SetIdentity(m);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(m.m[k / 4][k % 4], k % 5 == 0 ? 1.0f : 0.0f) << k;
  SetZero(m);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(m.m[k / 4][k % 4], 0.0f) << k;
  // A Matrix4 is handed to Direct3D as it is.
  const D3DMATRIX* asDirect3D = &identityMatrix;
  EXPECT_EQ(asDirect3D->_11, 1.0f);
  EXPECT_EQ(asDirect3D->_44, 1.0f);
  EXPECT_EQ(asDirect3D->_41, 0.0f);
}

TEST(MatrixMath, MultiplyMayWriteIntoEitherInput) {
  const Matrix4 a = Filled(-2.0f), b = Filled(0.5f);
  const Matrix4 expected = Product(a, b);
  Matrix4 out;
  Multiply(a, b, out);
  ExpectNear(out, expected, 0.0f);
  Matrix4 intoA = a;
  Multiply(intoA, b, intoA);
  ExpectNear(intoA, expected, 0.0f);
  Matrix4 intoB = b;
  Multiply(a, intoB, intoB);
  ExpectNear(intoB, expected, 0.0f);
  Matrix4 square = a;
  Multiply(square, square, square);
  ExpectNear(square, Product(a, a), 0.0f);
}

TEST(MatrixMath, AProductAppliesItsLeftMatrixFirst) {
  Matrix4 translate = identityMatrix;
  translate.m[3][0] = 10.0f;  // move along x...
  Matrix4 turn = identityMatrix;
  SetRotation(turn, 0.0f, 0.0f, kPi / 2);  // ...then turn a quarter about z
  Matrix4 both;
  Multiply(translate, turn, both);
  Vector3 p = Transform({1.0f, 0.0f, 0.0f}, both);
  EXPECT_NEAR(p.x, 0.0f, 1e-5f);
  EXPECT_NEAR(p.y, 11.0f, 1e-5f);
  EXPECT_NEAR(p.z, 0.0f, 1e-5f);
}

TEST(MatrixMath, RotationAboutZAloneKeepsRowThreeAndColumnThree) {
  const float g = 0.7f;
  Matrix4 m = Filled(20.0f);
  const Matrix4 before = m;
  SetRotation(m, 0.0f, 0.0f, g);
  const Matrix4 expected = Rows3(std::cos(g), std::sin(g), 0, -std::sin(g), std::cos(g), 0, 0, 0, 1);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(m.m[r][c], expected.m[r][c], 1e-7f) << r << "," << c;
  }
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(m.m[3][k], before.m[3][k]);
    EXPECT_EQ(m.m[k][3], before.m[k][3]);
  }
}

TEST(MatrixMath, RotationIsTheProductOfTurnsAboutXThenYThenZ) {
  struct Angles {
    float a, b, g;
  };
  const Angles cases[] = {{0.3f, 0.0f, 0.0f}, {0.0f, -1.1f, 0.0f}, {0.4f, 0.9f, -2.2f}, {3.0f, 1.5f, 6.0f},
                          {-0.75f, 2.5f, 0.1f}};
  for (const Angles& t : cases) {
    SCOPED_TRACE(std::to_string(t.a) + " " + std::to_string(t.b) + " " + std::to_string(t.g));
    float ca = std::cos(t.a), sa = std::sin(t.a), cb = std::cos(t.b), sb = std::sin(t.b), cc = std::cos(t.g),
          sc = std::sin(t.g);
    Matrix4 rx = Rows3(1, 0, 0, 0, ca, sa, 0, -sa, ca);
    Matrix4 ry = Rows3(cb, 0, -sb, 0, 1, 0, sb, 0, cb);
    Matrix4 rz = Rows3(cc, sc, 0, -sc, cc, 0, 0, 0, 1);
    Matrix4 m = identityMatrix;
    SetRotation(m, t.a, t.b, t.g);
    ExpectNear(m, Product(Product(rx, ry), rz), 1e-6f);
  }
  // The first angle turns y towards z: a point is turned about x first.
  Matrix4 m = identityMatrix;
  SetRotation(m, kPi / 2, 0.0f, 0.0f);
  Vector3 p = Transform({0.0f, 1.0f, 0.0f}, m);
  EXPECT_NEAR(p.z, 1.0f, 1e-6f);
}

TEST(MatrixMath, InvertRigidUndoesARotationAndTranslation) {
  Matrix4 m = identityMatrix;
  SetRotation(m, 0.4f, -1.2f, 2.0f);
  m.m[3][0] = 12.0f;
  m.m[3][1] = -300.0f;
  m.m[3][2] = 45.5f;
  Matrix4 inverse = m;
  InvertRigid(inverse);

  Matrix4 product;
  Multiply(m, inverse, product);
  ExpectNear(product, identityMatrix, 1e-4f);
  Multiply(inverse, m, product);
  ExpectNear(product, identityMatrix, 1e-4f);
  // Column 3 stays as it was, so the result is still a rigid matrix, and inverting twice returns.
  for (int r = 0; r < 4; ++r) EXPECT_EQ(inverse.m[r][3], r == 3 ? 1.0f : 0.0f);
  Matrix4 twice = inverse;
  InvertRigid(twice);
  ExpectNear(twice, m, 1e-4f);
  // A point carried by m comes back.
  Vector3 p = Transform(Transform({5.0f, 6.0f, -7.0f}, m), inverse);
  EXPECT_NEAR(p.x, 5.0f, 1e-4f);
  EXPECT_NEAR(p.y, 6.0f, 1e-4f);
  EXPECT_NEAR(p.z, -7.0f, 1e-4f);
}

}  // namespace
