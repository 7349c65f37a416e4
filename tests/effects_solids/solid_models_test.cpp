// The model tables: counts, closed and consistently wound solids, the formulas behind the
// generated rings, the fin star's fins and the flat normal.
#include "effects/solid_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

using Key = std::tuple<float, float, float>;
Key KeyOf(const Vector3& p) { return {p.x, p.y, p.z}; }

Vector3 Sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(const Vector3& a, const Vector3& b) {
  return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

struct SolidCase {
  const char* name;
  int vertexCount;
  int faceCount;
};
const SolidCase kSolidCases[kSolidModelCount] = {
    {"cube", 24, 12}, {"truncated cone", 42, 40}, {"ring", 24, 48}, {"vase", 32, 36}};

TEST(SolidModels, CountsIndicesAndKinds) {
  for (int s = 0; s < kSolidModelCount; ++s) {
    SCOPED_TRACE(kSolidCases[s].name);
    const SolidModel& model = solidModels[s];
    EXPECT_EQ(model.vertexCount, kSolidCases[s].vertexCount);
    EXPECT_EQ(model.faceCount, kSolidCases[s].faceCount);
    for (int f = 0; f < model.faceCount; ++f) {
      const SolidFace& face = model.faces[f];
      for (uint32_t index : face.index) EXPECT_LT(index, static_cast<uint32_t>(model.vertexCount)) << "face " << f;
      // Band kinds 0..3 and 5, or an opaque colour.
      bool band = face.kind <= 3 || face.kind == 5;
      EXPECT_TRUE(band || (face.kind >> 24) == 0xFF) << "face " << f << " kind " << face.kind;
    }
  }
}

// Every solid is closed, each edge (by position, since rings are stored twice) is met once in each
// direction, and its faces wind so that the flat normal points inward: the signed volume has the
// sign the cube's inward normals give.
TEST(SolidModels, ClosedAndWoundInwardLikeTheCube) {
  for (int s = 0; s < kSolidModelCount; ++s) {
    SCOPED_TRACE(kSolidCases[s].name);
    const SolidModel& model = solidModels[s];
    std::map<std::pair<Key, Key>, int> directedEdges;
    double volume6 = 0.0;
    for (int f = 0; f < model.faceCount; ++f) {
      const Vector3* p[3];
      for (int k = 0; k < 3; ++k) p[k] = &model.vertices[model.faces[f].index[k]];
      for (int k = 0; k < 3; ++k) ++directedEdges[{KeyOf(*p[k]), KeyOf(*p[(k + 1) % 3])}];
      Vector3 n = FlatNormal(*p[0], *p[1], *p[2]);
      ASSERT_NEAR(Dot(n, n), 1.0, 1e-5) << "face " << f;
      // Volume contribution with the normal's orientation: the normal times twice the area.
      Vector3 a = Sub(*p[2], *p[0]);
      Vector3 b = Sub(*p[1], *p[0]);
      Vector3 cross{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
      volume6 += Dot(*p[0], cross);
    }
    for (const auto& [edge, count] : directedEdges) {
      EXPECT_EQ(count, 1);
      auto reverse = directedEdges.find({edge.second, edge.first});
      ASSERT_NE(reverse, directedEdges.end());
      EXPECT_EQ(reverse->second, 1);
    }
    EXPECT_LT(volume6, 0.0) << "normals point out of the solid";
  }
}

TEST(SolidModels, CubesShareOneLayout) {
  // Side y = +s, its first triangle (0, 2, 3): corners (-,+,-), (-,+,+), (+,+,+), normal inward.
  const float s = 45.20922f;
  const Vector3* cube = solidModels[0].vertices;
  for (int i = 0; i < 24; ++i) {
    const Vector3& glass = glassCubePositions[i];
    EXPECT_EQ(glass.x / 81.15566f, cube[i].x / s);
    EXPECT_EQ(glass.y / 81.15566f, cube[i].y / s);
    EXPECT_EQ(glass.z / 81.15566f, cube[i].z / s);
  }
  EXPECT_EQ(cube[2].x, -s);
  EXPECT_EQ(cube[2].y, s);
  EXPECT_EQ(cube[2].z, s);
  for (int t = 0; t < 12; ++t) {
    EXPECT_EQ(solidModels[0].faces[t].index[0], cubeTriangleIndices[3 * t]);
    EXPECT_EQ(solidModels[0].faces[t].kind, kKindGreyBands);
  }
  Vector3 n = FlatNormal(cube[0], cube[2], cube[3]);
  EXPECT_FLOAT_EQ(n.y, -1.0f);
}

TEST(SolidModels, GeneratedRingsFollowTheirFormulas) {
  const double deg = 3.14159265358979323846 / 180.0;
  const Vector3* cone = solidModels[1].vertices;
  for (int k = 0; k < 10; ++k) {
    double c = std::cos(36.0 * k * deg), s = std::sin(36.0 * k * deg);
    for (int copy : {1, 22}) {
      EXPECT_NEAR(cone[copy + k].x, 50 * c, 1e-4);
      EXPECT_NEAR(cone[copy + k].y, 50 * s, 1e-4);
      EXPECT_EQ(cone[copy + k].z, -50.0f);
    }
    for (int copy : {11, 32}) {
      EXPECT_NEAR(cone[copy + k].x, 20 * c, 1e-4);
      EXPECT_NEAR(cone[copy + k].y, 20 * s, 1e-4);
      EXPECT_EQ(cone[copy + k].z, 50.0f);
    }
  }
  const Vector3* ring = solidModels[2].vertices;
  for (int j = 0; j < 4; ++j) {
    double dir = (90.0 - 90.0 * j) * deg;
    for (int i = 0; i < 6; ++i) {
      double out = 70 + 30 * std::cos(60.0 * i * deg);
      EXPECT_NEAR(ring[6 * j + i].x, std::cos(dir) * out, 1e-4);
      EXPECT_NEAR(ring[6 * j + i].y, std::sin(dir) * out, 1e-4);
      EXPECT_NEAR(ring[6 * j + i].z, 30 * std::sin(60.0 * i * deg), 1e-4);
    }
  }
  // Vase: the middle ring's second point is (r/2, h) = (25, 19.67199) at z = 0; the top ring's
  // fourth point (-r, 0) at z = 50, stored again at 26 + 3.
  const Vector3* vase = solidModels[3].vertices;
  EXPECT_EQ(vase[8].x, 25.0f);
  EXPECT_EQ(vase[8].y, 19.67199f);
  EXPECT_EQ(vase[8].z, 0.0f);
  EXPECT_EQ(vase[16].x, -38.75218f);
  EXPECT_EQ(vase[29].x, -38.75218f);
  EXPECT_EQ(vase[29].z, 50.0f);
  EXPECT_EQ(vase[5].y, -3.312782f);
}

// A few faces written out, one from each run of every solid's face formulas.
TEST(SolidModels, FaceRunsSpotChecks) {
  struct FaceCase {
    int solid, face;
    uint32_t i0, i1, i2, kind;
  };
  const FaceCase cases[] = {
      {1, 9, 0, 1, 10, 5},                     // bottom cap, k = 9 wraps to vertex 1
      {1, 12, 23, 13, 12, 0xFF5B576B},         // side, k = 1 (odd)
      {1, 29, 31, 22, 11, 0xFF5B576B},         // side, k = 9 wraps
      {1, 30, 21, 32, 33, 5},                  // top cap
      {2, 13, 6, 7, 13, 2},                    // segment 1 (odd), i = 0, second face
      {2, 46, 18 + 5, 0, 5, 1},                // segment 3 wraps to segment 0, i = 5
      {2, 2, 1, 8, 7, 0},                      // segment 0, i = 1
      {3, 5, 0, 1, 6, 0xFFF2F9F2},             // bottom cap, k = 5
      {3, 12, 23, 11, 10, 0xFFB2DDB2},          // lower band, k = 3
      {3, 29, 12, 7, 13, 0xFF008F00},          // upper band, k = 5 wraps
      {3, 35, 19, 31, 26, 5},                  // top cap, k = 5 wraps
  };
  for (const FaceCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "solid " << c.solid << " face " << c.face);
    const SolidFace& face = solidModels[c.solid].faces[c.face];
    EXPECT_EQ(face.index[0], c.i0);
    EXPECT_EQ(face.index[1], c.i1);
    EXPECT_EQ(face.index[2], c.i2);
    EXPECT_EQ(face.kind, c.kind);
  }
}

// Each fin stands on one edge of the invisible cube (the two corners differ in one coordinate),
// no edge carries two fins, and the fin points at a spike on the side of both corners.
TEST(FinStarModel, OneFinOnEveryCubeEdge) {
  const float c = 124.8995f, p = 177.6085f;
  std::set<std::pair<int, int>> edges;
  for (int t = 0; t < kLitModelTriangleCount; ++t) {
    int a = finStarIndices[3 * t], b = finStarIndices[3 * t + 1], tip = finStarIndices[3 * t + 2];
    const Vector3 &pa = finStarPositions[a], &pb = finStarPositions[b], &pt = finStarPositions[tip];
    for (const Vector3* corner : {&pa, &pb}) {
      EXPECT_EQ(std::fabs(corner->x), c);
      EXPECT_EQ(std::fabs(corner->y), c);
      EXPECT_EQ(std::fabs(corner->z), c);
    }
    int differing = (pa.x != pb.x) + (pa.y != pb.y) + (pa.z != pb.z);
    EXPECT_EQ(differing, 1) << "fin " << t;
    EXPECT_TRUE(edges.insert({std::min(a, b), std::max(a, b)}).second) << "fin " << t;
    EXPECT_NEAR(std::sqrt(Dot(pt, pt)), p, 1e-3);
    // The spike's axis is one along which both corners lie on the spike's side.
    EXPECT_GT(Dot(pt, pa), 0.0);
    EXPECT_GT(Dot(pt, pb), 0.0);
  }
  EXPECT_EQ(edges.size(), 12u);
}

// The drawing order of the fins' corners, as written in the table (first fin and last fin).
TEST(FinStarModel, CornerOrder) {
  const float c = 124.8995f, p = 177.6085f;
  const Vector3 first[3] = {{-c, -c, c}, {-c, -c, -c}, {0, -p, 0}};
  const Vector3 last[3] = {{-c, c, -c}, {-c, -c, -c}, {-p, 0, 0}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(KeyOf(finStarPositions[finStarIndices[k]]), KeyOf(first[k]));
    EXPECT_EQ(KeyOf(finStarPositions[finStarIndices[33 + k]]), KeyOf(last[k]));
  }
}

TEST(FlatNormal, UnitVectorOfTheReversedCrossProductAndZeroWhenDegenerate) {
  // (P2 - P0) × (P1 - P0) with P1 along x and P2 along y: y × x = -z.
  Vector3 n = FlatNormal({0, 0, 0}, {3, 0, 0}, {0, 5, 0});
  EXPECT_FLOAT_EQ(n.x, 0.0f);
  EXPECT_FLOAT_EQ(n.y, 0.0f);
  EXPECT_FLOAT_EQ(n.z, -1.0f);
  Vector3 degenerate = FlatNormal({1, 2, 3}, {2, 4, 6}, {3, 6, 9});
  EXPECT_EQ(degenerate.x, 0.0f);
  EXPECT_EQ(degenerate.y, 0.0f);
  EXPECT_EQ(degenerate.z, 0.0f);
}

}  // namespace
