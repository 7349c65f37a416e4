// Scan conversion of a set-up triangle into runs of covered pixels, row by row.
//
// The fast walk keeps, per edge, the exact bound floor(N(j) / D) of the covered x range as a
// quotient and remainder that step from row to row without division (N(j) is the edge function
// without its x term; D is the edge's x coefficient); the reference walk evaluates every edge
// function at every pixel centre of the bounding box. Both give the same pixels.
#pragma once

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
  static int64_t FloorDiv(int64_t n, int64_t d) {
    int64_t q = n / d;
    if ((n % d) != 0 && n < 0) --q;
    return q;
  }
};

template <typename Sink>
void Rasterizer::Walk(const Triangle& t, Sink&& sink) {
  // Per edge: kind 1 bounds x from below (x >= -q), kind -1 from above (x <= q), kind 0 is
  // horizontal and accepts or rejects whole rows by the sign of n.
  struct EdgeStep {
    int kind;
    int64_t q, r, d, stepQ, stepR, n, stepN;
  };
  EdgeStep steps[3];
  for (int k = 0; k < 3; ++k) {
    const EdgeFunction& e = t.edges[k];
    EdgeStep& s = steps[k];
    s.n = e.b * t.minY + e.c + e.bias;
    s.stepN = e.b;
    if (e.a == 0) {
      s.kind = 0;
      s.q = s.r = s.d = s.stepQ = s.stepR = 0;
      continue;
    }
    s.kind = e.a > 0 ? 1 : -1;
    s.d = e.a > 0 ? e.a : -e.a;
    s.q = FloorDiv(s.n, s.d);
    s.r = s.n - s.q * s.d;
    s.stepQ = FloorDiv(e.b, s.d);
    s.stepR = e.b - s.stepQ * s.d;
  }
  for (int y = t.minY; y <= t.maxY; ++y) {
    int64_t x0 = t.minX;
    int64_t x1 = t.maxX;
    bool rowOpen = true;
    for (EdgeStep& s : steps) {
      if (s.kind > 0) {
        if (-s.q > x0) x0 = -s.q;
      } else if (s.kind < 0) {
        if (s.q < x1) x1 = s.q;
      } else if (s.n < 0) {
        rowOpen = false;
      }
      s.n += s.stepN;
      s.q += s.stepQ;
      s.r += s.stepR;
      if (s.r >= s.d) {
        s.r -= s.d;
        ++s.q;
      }
    }
    if (rowOpen && x0 <= x1) sink(y, static_cast<int>(x0), static_cast<int>(x1));
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
