// Plane equations of a primitive's attributes over the pixel grid, in the fixed-point formats of
// SpanJob, and the floating-point planes of perspective-correct interpolation.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "span_job.h"

namespace d3d8sw {

// The bound on a vertex's or a perspective-correct value in fixed point, and the one rounding every
// path uses to get there: half away from zero, clamped to +-kFixedLimit (NaN to -kFixedLimit). The
// reference, the setup and the fast paths agree to the bit only because they share it.
constexpr double kFixedLimit = 1.0e18;

// Rounds half away from zero and clamps to +-limit (NaN to -limit).
inline int64_t RoundClamped(double v, double limit) {
  if (!(v > -limit)) return static_cast<int64_t>(-limit);
  if (v > limit) return static_cast<int64_t>(limit);
  return static_cast<int64_t>(v >= 0 ? v + 0.5 : v - 0.5);
}

inline int64_t RoundToFixed(double v) { return RoundClamped(v, kFixedLimit); }

#if defined(__SSE2__)
// RoundClamped of two values, sign bit and all, still as doubles: clamping first makes NaN -limit
// (MAXPD returns its second operand when either is NaN) and leaves the (whole) limits where they
// are, then half is added away from zero; StoreInt64Pair cuts off the fractions.
inline __m128d RoundedPair(__m128d v, double limit) {
  v = _mm_min_pd(_mm_max_pd(v, _mm_set1_pd(-limit)), _mm_set1_pd(limit));
  const __m128d sign = _mm_set1_pd(-0.0);
  return _mm_add_pd(v, _mm_or_pd(_mm_and_pd(v, sign), _mm_set1_pd(0.5)));
}

inline void StoreInt64Pair(__m128d rounded, int64_t* out) {
  out[0] = _mm_cvttsd_si64(rounded);
  out[1] = _mm_cvttsd_si64(_mm_unpackhi_pd(rounded, rounded));
}
#endif

// value(refX + dx, refY + dy) = base + gx * dx + gy * dy, exactly (integer arithmetic), so a
// pixel's value does not depend on the path taken to it. Constant attributes have gx = gy = 0.
struct FixedPlane {
  int64_t base = 0;
  int64_t gx = 0;
  int64_t gy = 0;
  int64_t At(int dx, int dy) const { return base + gx * dx + gy * dy; }
};

// A plane in floating point: value(x, y) = at0 + dx * (x - refX) + dy * (y - refY). Set up
// only for perspective-correct primitives (left uninitialised otherwise: set-up is hot).
struct FloatPlane {
  double at0;
  double dx;
  double dy;
  double At(int x, int y) const { return at0 + dx * x + dy * y; }
};

struct Interpolants {
  int refX = 0;
  int refY = 0;
  FixedPlane r, g, b, a;  // 16 fraction bits
  FixedPlane u, v;        // texels of the sampled level, 32 fraction bits
  FixedPlane z;           // 40 fraction bits
  FixedPlane fog;         // 16 fraction bits

  // Perspective-correct interpolation (rhw varies and some attribute varies): the attributes
  // flagged in `perspectiveMask` come from attribute x rhw / rhw per pixel; the rest (and z,
  // which is linear in screen space) from the fixed planes.
  bool perspective = false;
  uint32_t perspectiveMask = 0;  // bits: 1 colour, 2 u, 4 v, 8 fog
  FloatPlane q;                  // rhw; planes below hold attribute x rhw, relative to (refX, refY)
  FloatPlane qr, qg, qb, qa, qu, qv, qfog;
  double uScale, vScale;  // texels per texture-coordinate unit (level size), perspective only

  // The span job of pixels x0..x1 (inclusive) of row y, with its pointers left unset.
  void FillJob(int x0, int x1, int y, SpanJob* job) const {
    job->count = x1 - x0 + 1;
    FillValues(x0 - refX, y - refY, job);
  }

  // The span job of a run of this primitive: FillJob's values, the run's pointers.
  [[gnu::always_inline]] void JobOfRun(const Run& run, SpanJob* job) const {
    job->colour = run.colour;
    job->depth = run.depth;
    job->count = run.count;
    FillValues(run.dx, run.dy, job);
  }

  // Every interpolant of a job whose first pixel is (refX + dx, refY + dy), with its steps along x.
  [[gnu::always_inline]] void FillValues(int dx, int dy, SpanJob* job) const {
    job->r = r.At(dx, dy);
    job->g = g.At(dx, dy);
    job->b = b.At(dx, dy);
    job->a = a.At(dx, dy);
    job->dr = r.gx;
    job->dg = g.gx;
    job->db = b.gx;
    job->da = a.gx;
    job->u = u.At(dx, dy);
    job->v = v.At(dx, dy);
    job->du = u.gx;
    job->dv = v.gx;
    job->z = z.At(dx, dy);
    job->dz = z.gx;
    job->fog = fog.At(dx, dy);
    job->dfog = fog.gx;
  }

  // Planes that give `job`'s values along row 0 from pixel 0 (and the same on every row), with
  // the run that covers it: a single span job as a primitive of one run.
  static Interpolants OfJob(const SpanJob& job, Run* run) {
    Interpolants p;
    p.r = {job.r, job.dr, 0};
    p.g = {job.g, job.dg, 0};
    p.b = {job.b, job.db, 0};
    p.a = {job.a, job.da, 0};
    p.u = {job.u, job.du, 0};
    p.v = {job.v, job.dv, 0};
    p.z = {job.z, job.dz, 0};
    p.fog = {job.fog, job.dfog, 0};
    *run = Run{job.colour, job.depth, 0, 0, job.count};
    return p;
  }

  // Row-by-row walking: `Row` holds every interpolant at (refX, y); FillRow gives the job of
  // pixels x0..x1 of that row and NextRow moves to y + 1. The values are those of FillJob.
  struct Row {
    int64_t r, g, b, a, u, v, z, fog;
  };
  void StartRow(int y, Row* row) const {
    int dy = y - refY;
    row->r = r.At(0, dy);
    row->g = g.At(0, dy);
    row->b = b.At(0, dy);
    row->a = a.At(0, dy);
    row->u = u.At(0, dy);
    row->v = v.At(0, dy);
    row->z = z.At(0, dy);
    row->fog = fog.At(0, dy);
  }
  void NextRow(Row* row) const {
    row->r += r.gy;
    row->g += g.gy;
    row->b += b.gy;
    row->a += a.gy;
    row->u += u.gy;
    row->v += v.gy;
    row->z += z.gy;
    row->fog += fog.gy;
  }
  void FillRow(const Row& row, int x0, int x1, SpanJob* job) const {
    int64_t dx = x0 - refX;
    job->count = x1 - x0 + 1;
    job->r = row.r + r.gx * dx;
    job->g = row.g + g.gx * dx;
    job->b = row.b + b.gx * dx;
    job->a = row.a + a.gx * dx;
    job->u = row.u + u.gx * dx;
    job->v = row.v + v.gx * dx;
    job->z = row.z + z.gx * dx;
    job->fog = row.fog + fog.gx * dx;
    job->dr = r.gx;
    job->dg = g.gx;
    job->db = b.gx;
    job->da = a.gx;
    job->du = u.gx;
    job->dv = v.gx;
    job->dz = z.gx;
    job->dfog = fog.gx;
  }

  // Bounds on plane coefficients: with offsets of at most 8192 pixels from the reference pixel
  // (targets are at most 4096 pixels a side), |base| + 8192 |gx| + 8192 |gy| stays below 2^62.
  static constexpr double kBaseLimit = 4611686018427387904.0 / 4;  // 2^60
  static constexpr double kGradientLimit = 17592186044416.0 * 8;    // 2^47
};

}  // namespace d3d8sw
