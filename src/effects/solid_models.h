// The built-in models of the two tumbling-solid effects (fin star and glass cube; banded solids)
// and the flat face normal both of them derive from the model data.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/vector3.h"

// Flat normal of the triangle P0, P1, P2: the unit vector of (P2 - P0) × (P1 - P0). On the closed
// models this points into the solid; the glass cube's light and the band brightness are tuned to
// that. A degenerate triangle gets (0, 0, 0) rather than NaNs.
Vector3 FlatNormal(const Vector3& p0, const Vector3& p1, const Vector3& p2);

// --- Fin star and glass cube ---------------------------------------------------------------------

// Both models are twelve unindexed triangles; 36 byte-sized indices into their position array.
constexpr int kLitModelTriangleCount = 12;
constexpr int kLitModelIndexCount = 3 * kLitModelTriangleCount;

// Fin star: the eight corners of a cube of half-edge 124.8995 (0..7) and six spikes at distance
// 177.6085 on the axes (8..13); each fin stands on one cube edge and points at one spike.
constexpr int kFinStarPositionCount = 14;
extern const std::array<Vector3, kFinStarPositionCount> finStarPositions;
extern const std::array<uint8_t, kLitModelIndexCount> finStarIndices;

// Glass cube: half-edge 81.15566, four positions a side, two triangles a side.
constexpr int kGlassCubePositionCount = 24;
extern const std::array<Vector3, kGlassCubePositionCount> glassCubePositions;
// Shared by the glass cube and the banded cube (solid 0): two triangles a side.
extern const std::array<uint8_t, kLitModelIndexCount> cubeTriangleIndices;

// --- Banded solids -------------------------------------------------------------------------------

// One face of a banded solid. A kind of 0..3 or 5 picks a band column of the palette texture;
// kind 4 or any value above 5 is the face's own ARGB colour (the models use opaque colours only).
struct SolidFace {
  uint32_t index[3];
  uint32_t kind;
};

// The kinds with a meaning of their own; every other value above them is a colour.
constexpr uint32_t kKindWarmCoolBands = 0;     // palette column 5: warm ramp up and down, then cool
constexpr uint32_t kKindBlueBands = 1;         // column 9: light blue to white and back
constexpr uint32_t kKindBlueBandsShifted = 2;  // column 9, half a period (32 rows) further on
constexpr uint32_t kKindGreyBands = 3;         // column 1: grey sine, shifted by the face's facing
constexpr uint32_t kKindGoldBands = 5;         // column 13: dark red to yellow, shifted by facing

// A banded solid's constant data: positions (three floats each) and faces.
struct SolidModel {
  const Vector3* vertices;
  int vertexCount;
  const SolidFace* faces;
  int faceCount;
};

constexpr int kSolidModelCount = 4;
// 0: cube (24 vertices, 12 faces); 1: ten-sided truncated cone (42, 40); 2: four-segment ring of
// hexagonal section (24, 48); 3: six-sided vase (32, 36).
extern const std::array<SolidModel, kSolidModelCount> solidModels;
