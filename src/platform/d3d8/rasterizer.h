// Scan conversion of a set-up triangle into runs of covered pixels, row by row.
//
// The fast walk keeps, per edge, the exact bound floor(N(j) / D) of the covered x range as a
// quotient and remainder that step from row to row without division (N(j) is the edge function
// without its x term; D is the edge's x coefficient); the reference walk evaluates every edge
// function at every pixel centre of the bounding box. Both give the same pixels.
#pragma once

#include <algorithm>
#include <cstdint>

#include "triangle_setup.h"

namespace d3d8sw {

class Rasterizer {
 public:
  // Calls sink(y, x0, x1) for each row's run of covered pixels x0..x1 (inclusive).
  template <typename Sink>
  static void Walk(const Triangle& t, Sink&& sink);

  template <typename Sink>
  static void WalkReference(const Triangle& t, Sink&& sink);

 private:
  // One edge's bound floor(N(j) / D) as q + r / d, 0 <= r < d, and its steps per row.
  struct EdgeStep {
    int64_t q, r, d, stepQ, stepR;
    // Without a branch: whether the remainder carries follows the edge's slope, not a pattern.
    void Next() {
      r += stepR;
      const int64_t carry = r >= d ? 1 : 0;
      q += stepQ + carry;
      r -= d & -carry;
    }
  };
  template <int kLefts, int kRights, typename Sink>
  static void WalkRows(const Triangle& t, EdgeStep* left, EdgeStep* right, int64_t minY, int64_t maxY,
                       Sink&& sink);
  static int64_t FloorDiv(int64_t n, int64_t d) {
    int64_t q = n / d;
    if ((n % d) != 0 && n < 0) --q;
    return q;
  }
};

template <typename Sink>
void Rasterizer::Walk(const Triangle& t, Sink&& sink) {
  // Left edges bound x from below (x >= -q), right edges from above (x <= q); q steps from row to
  // row as a quotient and remainder. A horizontal edge accepts a range of whole rows, found here.
  EdgeStep left[2], right[2];
  int lefts = 0, rights = 0;
  int64_t minY = t.minY, maxY = t.maxY;
  for (int k = 0; k < 3; ++k) {
    const EdgeFunction& e = t.edges[k];
    const int64_t n = e.b * t.minY + e.c + e.bias;
    if (e.a == 0) {
      // Row y is open when n + b (y - minY) >= 0. Mostly the edge is the triangle's top or bottom
      // and leaves every row of the box open: that needs no division.
      if (e.b > 0) {
        if (n < 0) minY = std::max(minY, t.minY + FloorDiv(-n + e.b - 1, e.b));
      } else if (e.b < 0) {
        if (n < 0 || (t.maxY - t.minY) * -e.b > n) maxY = std::min(maxY, t.minY + FloorDiv(n, -e.b));
      } else if (n < 0) {
        return;
      }
      continue;
    }
    EdgeStep& s = e.a > 0 ? left[lefts++] : right[rights++];
    s.d = e.a > 0 ? e.a : -e.a;
    s.q = FloorDiv(n, s.d);
    s.r = n - s.q * s.d;
    // A triangle of one row (the rings' strips are made of them) never steps to a next row.
    if (t.minY == t.maxY) {
      s.stepQ = s.stepR = 0;
    } else {
      s.stepQ = FloorDiv(e.b, s.d);
      s.stepR = e.b - s.stepQ * s.d;
    }
  }
  if (lefts == 1 && rights == 1) {
    WalkRows<1, 1>(t, left, right, minY, maxY, sink);
  } else if (lefts == 1 && rights == 2) {
    WalkRows<1, 2>(t, left, right, minY, maxY, sink);
  } else if (lefts == 2 && rights == 1) {
    WalkRows<2, 1>(t, left, right, minY, maxY, sink);
  }
  // Other shapes have no area: nothing to cover.
}

template <int kLefts, int kRights, typename Sink>
void Rasterizer::WalkRows(const Triangle& t, EdgeStep* left, EdgeStep* right, int64_t minY, int64_t maxY,
                          Sink&& sink) {
  // Move the edges from row t.minY to row minY.
  for (int64_t y = t.minY; y < minY; ++y) {
    for (int k = 0; k < kLefts; ++k) left[k].Next();
    for (int k = 0; k < kRights; ++k) right[k].Next();
  }
  for (int64_t y = minY; y <= maxY; ++y) {
    int64_t x0 = t.minX;
    int64_t x1 = t.maxX;
    for (int k = 0; k < kLefts; ++k) {
      if (-left[k].q > x0) x0 = -left[k].q;
      left[k].Next();
    }
    for (int k = 0; k < kRights; ++k) {
      if (right[k].q < x1) x1 = right[k].q;
      right[k].Next();
    }
    if (x0 <= x1) sink(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
  }
}

template <typename Sink>
void Rasterizer::WalkReference(const Triangle& t, Sink&& sink) {
  for (int y = t.minY; y <= t.maxY; ++y) {
    int runStart = -1;
    for (int x = t.minX; x <= t.maxX + 1; ++x) {
      bool covered = x <= t.maxX;
      for (int k = 0; k < 3 && covered; ++k) {
        const EdgeFunction& e = t.edges[k];
        covered = e.a * x + e.b * y + e.c + e.bias >= 0;
      }
      if (covered && runStart < 0) runStart = x;
      if (!covered && runStart >= 0) {
        sink(y, runStart, x - 1);
        runStart = -1;
      }
    }
  }
}

}  // namespace d3d8sw
