// The model tables of the fin star, the glass cube and the four banded solids.
#include "effects/solid_models.h"

#include <array>

namespace {

// --- Shared cube layout --------------------------------------------------------------------------

// Corner signs of an axis-aligned cube, four corners a side, sides in the order y+, y-, z-, x+,
// z+, x-. Both cubes (glass and banded) use this layout and the triangle list below.
constexpr int kCubeSigns[24][3] = {
    {-1, +1, -1}, {+1, +1, -1}, {-1, +1, +1}, {+1, +1, +1},  // y = +s
    {-1, -1, -1}, {+1, -1, -1}, {-1, -1, +1}, {+1, -1, +1},  // y = -s
    {-1, +1, -1}, {+1, +1, -1}, {+1, -1, -1}, {-1, -1, -1},  // z = -s
    {+1, +1, -1}, {+1, +1, +1}, {+1, -1, +1}, {+1, -1, -1},  // x = +s
    {+1, +1, +1}, {-1, +1, +1}, {-1, -1, +1}, {+1, -1, +1},  // z = +s
    {-1, +1, +1}, {-1, +1, -1}, {-1, -1, -1}, {-1, -1, +1},  // x = -s
};

constexpr std::array<Vector3, 24> MakeCube(float halfEdge) {
  std::array<Vector3, 24> corners{};
  for (int i = 0; i < 24; ++i) {
    corners[i] = {static_cast<float>(kCubeSigns[i][0]) * halfEdge, static_cast<float>(kCubeSigns[i][1]) * halfEdge,
                  static_cast<float>(kCubeSigns[i][2]) * halfEdge};
  }
  return corners;
}

// --- Fin star ------------------------------------------------------------------------------------

constexpr float kFinCorner = 124.8995f;  // half-edge of the invisible cube the fins stand on
constexpr float kFinSpike = 177.6085f;   // distance of the six spike tips from the centre
constexpr float kGlassCubeHalfEdge = 81.15566f;

// Two triangles a side, each side cut along the diagonal from its first corner (sides y+ and y-
// list their corners row by row, the others around the quad).
constexpr std::array<uint8_t, kLitModelIndexCount> kCubeTriangles = {
    0,  2,  3,  3,  1,  0,  4,  5,  7,  7,  6,  4,  8,  9,  10, 10, 11, 8,
    12, 13, 14, 14, 15, 12, 16, 17, 18, 18, 19, 16, 20, 21, 22, 22, 23, 20,
};

// --- Banded solids -------------------------------------------------------------------------------

// cos and sin of 36°·k, the ten directions of the cone's rings (k = 0..9).
constexpr double kCos36[10] = {1.0, 0.80901699437494742, 0.30901699437494742, -0.30901699437494742,
                               -0.80901699437494742, -1.0, -0.80901699437494742, -0.30901699437494742,
                               0.30901699437494742, 0.80901699437494742};
constexpr double kSin36[10] = {0.0, 0.58778525229247312, 0.95105651629515357, 0.95105651629515357,
                               0.58778525229247312, 0.0, -0.58778525229247312, -0.95105651629515357,
                               -0.95105651629515357, -0.58778525229247312};
// cos and sin of 60°·i, the six points of the ring's hexagonal section (i = 0..5).
constexpr double kCos60[6] = {1.0, 0.5, -0.5, -1.0, -0.5, 0.5};
constexpr double kSin60[6] = {0.0, 0.86602540378443865, 0.86602540378443865, 0.0, -0.86602540378443865,
                              -0.86602540378443865};

constexpr Vector3 Point(double x, double y, double z) {
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

// Solid 0, the cube: all faces grey bands.
constexpr float kSolidCubeHalfEdge = 45.20922f;

constexpr std::array<SolidFace, 12> MakeSolidCubeFaces(const std::array<uint8_t, kLitModelIndexCount>& triangles) {
  std::array<SolidFace, 12> f{};
  for (int t = 0; t < 12; ++t) {
    f[t] = {{triangles[3 * t], triangles[3 * t + 1], triangles[3 * t + 2]}, kKindGreyBands};
  }
  return f;
}

// Solid 1, the truncated cone: base ring radius 50 at z = -50, top ring radius 20 at z = +50.
constexpr double kConeBaseRadius = 50.0;
constexpr double kConeTopRadius = 20.0;
constexpr double kConeHalfHeight = 50.0;
constexpr uint32_t kConeSideLight = 0xFFF5F5F5;  // even side panels
constexpr uint32_t kConeSideDark = 0xFF5B576B;   // odd side panels

constexpr std::array<Vector3, 42> MakeConeVertices() {
  std::array<Vector3, 42> v{};
  v[0] = Point(0.0, 0.0, -kConeHalfHeight);
  v[21] = Point(0.0, 0.0, kConeHalfHeight);
  for (int k = 0; k < 10; ++k) {
    Vector3 base = Point(kConeBaseRadius * kCos36[k], kConeBaseRadius * kSin36[k], -kConeHalfHeight);
    Vector3 top = Point(kConeTopRadius * kCos36[k], kConeTopRadius * kSin36[k], kConeHalfHeight);
    // Each ring twice: once for the caps, once for the side.
    v[1 + k] = base;
    v[11 + k] = top;
    v[22 + k] = base;
    v[32 + k] = top;
  }
  return v;
}

constexpr std::array<SolidFace, 40> MakeConeFaces() {
  std::array<SolidFace, 40> f{};
  for (uint32_t k = 0; k < 10; ++k) {
    uint32_t next = (k + 1) % 10;
    f[k] = {{0, 1 + next, 1 + k}, kKindGoldBands};
    uint32_t side = (k % 2 == 0) ? kConeSideLight : kConeSideDark;
    f[10 + 2 * k] = {{22 + k, 11 + next, 11 + k}, side};
    f[11 + 2 * k] = {{22 + k, 22 + next, 11 + next}, side};
    f[30 + k] = {{21, 32 + k, 32 + next}, kKindGoldBands};
  }
  return f;
}

// Solid 2, the ring: four straight segments whose hexagonal sections (radius 30) sit 70 units
// out along +y, +x, -y and -x in turn.
constexpr double kRingRadius = 70.0;
constexpr double kRingSectionRadius = 30.0;
constexpr double kRingDirections[4][2] = {{0.0, 1.0}, {1.0, 0.0}, {0.0, -1.0}, {-1.0, 0.0}};  // 90° - 90°·j
constexpr uint32_t kRingKindsEven[6] = {kKindBlueBands, kKindWarmCoolBands, kKindBlueBandsShifted,
                                        kKindBlueBands, kKindWarmCoolBands, kKindBlueBandsShifted};
constexpr uint32_t kRingKindsOdd[6] = {kKindBlueBandsShifted, kKindWarmCoolBands, kKindBlueBands,
                                       kKindBlueBandsShifted, kKindWarmCoolBands, kKindBlueBands};

constexpr std::array<Vector3, 24> MakeRingVertices() {
  std::array<Vector3, 24> v{};
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 6; ++i) {
      double out = kRingRadius + kRingSectionRadius * kCos60[i];
      v[6 * j + i] = Point(kRingDirections[j][0] * out, kRingDirections[j][1] * out, kRingSectionRadius * kSin60[i]);
    }
  }
  return v;
}

constexpr std::array<SolidFace, 48> MakeRingFaces() {
  std::array<SolidFace, 48> f{};
  for (uint32_t j = 0; j < 4; ++j) {
    uint32_t a = 6 * j;
    uint32_t b = 6 * ((j + 1) % 4);
    for (uint32_t i = 0; i < 6; ++i) {
      uint32_t next = (i + 1) % 6;
      uint32_t kind = (j % 2 == 0) ? kRingKindsEven[i] : kRingKindsOdd[i];
      f[12 * j + 2 * i] = {{a + i, b + next, b + i}, kind};
      f[12 * j + 2 * i + 1] = {{a + i, a + next, b + next}, kind};
    }
  }
  return f;
}

// Solid 3, the vase: three flattened hexagonal rings, point k at (r, 0), (r/2, h), (-r/2, h),
// (-r, 0), (-r/2, -h), (r/2, -h).
struct VaseRing {
  float z;
  float r;
  float h;
};
constexpr VaseRing kVaseBottom = {-50.0f, 18.67563f, 3.312782f};
constexpr VaseRing kVaseMiddle = {0.0f, 50.0f, 19.67199f};
constexpr VaseRing kVaseTop = {50.0f, 38.75218f, 15.24665f};
constexpr uint32_t kVaseBottomCap = 0xFFF2F9F2;
constexpr uint32_t kVaseLowerBand[6] = {0xFF4FB24F, 0xFF62BA62, 0xFF4FB24F, 0xFFB2DDB2, 0xFF62BA62, 0xFFB2DDB2};
constexpr uint32_t kVaseUpperEven = 0xFF1D9C1D;
constexpr uint32_t kVaseUpperOdd = 0xFF008F00;

constexpr Vector3 VasePoint(const VaseRing& ring, int k) {
  const float half = ring.r / 2.0f;
  const float xs[6] = {ring.r, half, -half, -ring.r, -half, half};
  const float ys[6] = {0.0f, ring.h, ring.h, 0.0f, -ring.h, -ring.h};
  return {xs[k], ys[k], ring.z};
}

constexpr std::array<Vector3, 32> MakeVaseVertices() {
  std::array<Vector3, 32> v{};
  v[0] = {0.0f, 0.0f, -50.0f};
  v[19] = {0.0f, 0.0f, 50.0f};
  for (int k = 0; k < 6; ++k) {
    v[1 + k] = VasePoint(kVaseBottom, k);
    v[7 + k] = VasePoint(kVaseMiddle, k);
    v[13 + k] = VasePoint(kVaseTop, k);
    // The bottom and top rings again, for the bands.
    v[20 + k] = VasePoint(kVaseBottom, k);
    v[26 + k] = VasePoint(kVaseTop, k);
  }
  return v;
}

constexpr std::array<SolidFace, 36> MakeVaseFaces() {
  std::array<SolidFace, 36> f{};
  for (uint32_t k = 0; k < 6; ++k) {
    uint32_t next = (k + 1) % 6;
    f[k] = {{0, 1 + next, 1 + k}, kVaseBottomCap};
    f[6 + 2 * k] = {{20 + k, 7 + next, 7 + k}, kVaseLowerBand[k]};
    f[7 + 2 * k] = {{20 + k, 20 + next, 7 + next}, kVaseLowerBand[k]};
    uint32_t upper = (k % 2 == 0) ? kVaseUpperEven : kVaseUpperOdd;
    f[18 + 2 * k] = {{7 + k, 13 + next, 13 + k}, upper};
    f[19 + 2 * k] = {{7 + k, 7 + next, 13 + next}, upper};
    f[30 + k] = {{19, 26 + k, 26 + next}, kKindGoldBands};
  }
  return f;
}

constexpr std::array<Vector3, 24> kSolidCubeVertices = MakeCube(kSolidCubeHalfEdge);
constexpr std::array<SolidFace, 12> kSolidCubeFaces = MakeSolidCubeFaces(kCubeTriangles);
constexpr std::array<Vector3, 42> kConeVertices = MakeConeVertices();
constexpr std::array<SolidFace, 40> kConeFaces = MakeConeFaces();
constexpr std::array<Vector3, 24> kRingVertices = MakeRingVertices();
constexpr std::array<SolidFace, 48> kRingFaces = MakeRingFaces();
constexpr std::array<Vector3, 32> kVaseVertices = MakeVaseVertices();
constexpr std::array<SolidFace, 36> kVaseFaces = MakeVaseFaces();

}  // namespace

Vector3 FlatNormal(const Vector3& p0, const Vector3& p1, const Vector3& p2) {
  Vector3 a{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
  Vector3 b{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
  Vector3 n{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  float length = Length(n);
  if (length == 0.0f) return {0.0f, 0.0f, 0.0f};
  return {n.x / length, n.y / length, n.z / length};
}

const std::array<Vector3, kFinStarPositionCount> finStarPositions = {{
    // Cube corners 0..7: bit 0 set for +x, bit 1 for +y, bit 2 for +z.
    {-kFinCorner, -kFinCorner, -kFinCorner}, {+kFinCorner, -kFinCorner, -kFinCorner},
    {-kFinCorner, +kFinCorner, -kFinCorner}, {+kFinCorner, +kFinCorner, -kFinCorner},
    {-kFinCorner, -kFinCorner, +kFinCorner}, {+kFinCorner, -kFinCorner, +kFinCorner},
    {-kFinCorner, +kFinCorner, +kFinCorner}, {+kFinCorner, +kFinCorner, +kFinCorner},
    // Spikes 8..13: -y, +y, -z, +x, +z, -x.
    {0.0f, -kFinSpike, 0.0f}, {0.0f, +kFinSpike, 0.0f}, {0.0f, 0.0f, -kFinSpike},
    {+kFinSpike, 0.0f, 0.0f}, {0.0f, 0.0f, +kFinSpike}, {-kFinSpike, 0.0f, 0.0f},
}};

// One fin per cube edge, pointing at the spike of one of the two sides that meet there.
const std::array<uint8_t, kLitModelIndexCount> finStarIndices = {
    4, 0, 8,  1, 5, 8,  2, 6, 9,  7, 3, 9,  1, 0, 10, 2, 3, 10,
    1, 3, 11, 7, 5, 11, 4, 5, 12, 7, 6, 12, 4, 6, 13, 2, 0, 13,
};

const std::array<Vector3, kGlassCubePositionCount> glassCubePositions = MakeCube(kGlassCubeHalfEdge);
const std::array<uint8_t, kLitModelIndexCount> cubeTriangleIndices = kCubeTriangles;

const std::array<SolidModel, kSolidModelCount> solidModels = {{
    {kSolidCubeVertices.data(), static_cast<int>(kSolidCubeVertices.size()), kSolidCubeFaces.data(),
     static_cast<int>(kSolidCubeFaces.size())},
    {kConeVertices.data(), static_cast<int>(kConeVertices.size()), kConeFaces.data(),
     static_cast<int>(kConeFaces.size())},
    {kRingVertices.data(), static_cast<int>(kRingVertices.size()), kRingFaces.data(),
     static_cast<int>(kRingFaces.size())},
    {kVaseVertices.data(), static_cast<int>(kVaseVertices.size()), kVaseFaces.data(),
     static_cast<int>(kVaseFaces.size())},
}};
