// The depth buffer's row bookkeeping: clears recorded per row and written where runs first touch
// the rows, bounds that let runs whose depth test cannot pass be dropped. Checked against a plain
// model of the buffer, on the bookkeeping alone and through the device.
#include <algorithm>
#include <random>

#include "device_fixture.h"
#include "platform/d3d8/depth_rows.h"
#include "platform/d3d8/pixel_state.h"

namespace {

using d3d8sw::DepthRows;

// Random clears (whole rows, parts of rows, values old and new) and runs that touch the memory and
// write into it: the values a read of the surface sees are always the model's.
TEST(DepthRowsTest, ClearsAndTouchedRunsKeepEveryValue) {
  constexpr int kWidth = 37, kRows = 5;
  for (bool d16 : {false, true}) {
    SCOPED_TRACE(d16 ? "D16" : "D32");
    std::mt19937 random(5);
    auto next = [&](int bound) { return static_cast<int>(random() % static_cast<uint32_t>(bound)); };
    const uint32_t values[] = {0u, 7u, 0x9000u, d16 ? 0xFFFFu : 0xFFFFFFFFu};
    std::vector<uint32_t> memory32(kWidth * kRows, values[3]);
    std::vector<uint16_t> memory16(kWidth * kRows, static_cast<uint16_t>(values[3]));
    std::vector<uint32_t> model(kWidth * kRows, values[3]);
    DepthRows rows;
    rows.Reset(d16 ? static_cast<void*>(memory16.data()) : memory32.data(), d16, kWidth, kRows, values[3]);
    for (int step = 0; step < 3000; ++step) {
      const int y = next(kRows);
      if (next(3) == 0) {
        // A clear: whole rows, or any part of rows.
        int x0 = 0, x1 = kWidth;
        if (next(3) != 0) {
          x0 = next(kWidth);
          x1 = x0 + 1 + next(kWidth - x0);
        }
        const int y1 = y + 1 + next(kRows - y);
        const uint32_t value = values[next(4)];
        rows.Clear(x0, y, x1, y1, value);
        for (int r = y; r < y1; ++r) {
          for (int x = x0; x < x1; ++x) model[r * kWidth + x] = value;
        }
      } else {
        // A run: where it is narrowed to must hold every pixel whose test passes; its memory must
        // hold the model's values; then it writes some of them.
        const int x0 = next(kWidth);
        const int x1 = x0 + next(kWidth - x0);
        const DWORD funcs[] = {D3DCMP_LESS, D3DCMP_EQUAL, D3DCMP_GREATER, D3DCMP_NOTEQUAL, D3DCMP_ALWAYS};
        const DWORD func = funcs[next(5)];
        const uint32_t z = values[next(4)];
        int from = x0, to = x1;
        const bool kept = rows.Narrow(y, func, z, z, &from, &to);
        for (int x = x0; x <= x1; ++x) {
          if (d3d8sw::Compare(func, z, model[y * kWidth + x])) {
            ASSERT_TRUE(kept && x >= from && x <= to) << "step " << step << " func " << func << " at " << x;
          }
        }
        rows.Touch(y, x0, x1);
        for (int x = x0; x <= x1; ++x) {
          const size_t at = static_cast<size_t>(y) * kWidth + x;
          const uint32_t held = d16 ? memory16[at] : memory32[at];
          ASSERT_EQ(held, model[at]) << "step " << step << " at " << x << ", " << y;
          if (next(2) == 0) {
            const uint32_t value = values[next(4)];
            memory16[at] = static_cast<uint16_t>(value);
            memory32[at] = value;
            model[at] = value;
            rows.Write(y, x, x, value, value);
          }
        }
      }
      // What a read of the whole surface gives.
      if (step % 97 == 0) {
        for (int r = 0; r < kRows; ++r) {
          std::vector<uint32_t> row(kWidth);
          for (int x = 0; x < kWidth; ++x) {
            row[x] = d16 ? memory16[r * kWidth + x] : memory32[r * kWidth + x];
          }
          rows.ForEachPending(r, [&](int x0, int x1, uint32_t value) {
            for (int x = x0; x < x1; ++x) row[x] = value;
          });
          for (int x = 0; x < kWidth; ++x) ASSERT_EQ(row[x], model[r * kWidth + x]) << "step " << step;
        }
      }
    }
  }
}

// Bounds answer for every comparison whether some stored value in them can pass; a run that cannot
// pass against the row's clear value keeps only the columns written since.
TEST(DepthRowsTest, RunsAreDroppedOrNarrowedOnlyWhereNoStoredValueCanPass) {
  std::vector<uint32_t> memory(4, 100);
  DepthRows rows;
  rows.Reset(memory.data(), false, 4, 1, 100);
  rows.Write(0, 2, 2, 200, 200);  // the row holds values in 100..200
  struct Case {
    DWORD func;
    uint32_t low, high;
    bool mayPass;
  };
  const Case cases[] = {
      {D3DCMP_NEVER, 150, 150, false},       {D3DCMP_ALWAYS, 0, 0, true},
      {D3DCMP_LESS, 200, 300, false},        {D3DCMP_LESS, 199, 300, true},
      {D3DCMP_LESSEQUAL, 201, 300, false},   {D3DCMP_LESSEQUAL, 200, 300, true},
      {D3DCMP_EQUAL, 201, 300, false},       {D3DCMP_EQUAL, 0, 99, false},
      {D3DCMP_EQUAL, 50, 100, true},         {D3DCMP_GREATER, 0, 100, false},
      {D3DCMP_GREATER, 0, 101, true},        {D3DCMP_GREATEREQUAL, 0, 99, false},
      {D3DCMP_GREATEREQUAL, 0, 100, true},   {D3DCMP_NOTEQUAL, 150, 150, true},
  };
  for (const Case& c : cases) {
    int x0 = 0, x1 = 3;
    EXPECT_EQ(rows.Narrow(0, c.func, c.low, c.high, &x0, &x1), c.mayPass) << c.func << " " << c.low << ".." << c.high;
  }
  // EQUAL 200 cannot pass against the clear value 100: only column 2 was written.
  int x0 = 0, x1 = 3;
  EXPECT_TRUE(rows.Narrow(0, D3DCMP_EQUAL, 200, 200, &x0, &x1));
  EXPECT_EQ(x0, 2);
  EXPECT_EQ(x1, 2);
  rows.Clear(0, 0, 4, 1, 150);
  x0 = 0, x1 = 3;
  EXPECT_FALSE(rows.Narrow(0, D3DCMP_NOTEQUAL, 150, 150, &x0, &x1));
  EXPECT_TRUE(rows.Narrow(0, D3DCMP_NOTEQUAL, 150, 151, &x0, &x1));
}

// Clears of whole rows and of parts of rows, then draws testing against what they left (EQUAL on
// cleared values, LESS, NOTEQUAL), some writing depth: the target and the depth buffer read back
// as a plain model of the buffer says, on the fast paths and on the reference path, which drops
// no run.
class LazyDepthTest : public DeviceFixture {};

TEST_F(LazyDepthTest, DrawsMeetWhatClearsOfRowsAndPartsOfRowsLeft) {
  constexpr int kWidth = 640, kHeight = 40;  // the depth buffer is 640 wide: full-width clears are whole rows
  struct Op {
    bool clear;
    int x0, y0, x1, y1;
    float z;
    DWORD func;  // draws
    bool write;
    DWORD colour;
  };
  const Op ops[] = {
      {true, 0, 0, 640, 40, 1.0f, 0, false, 0},
      {false, 100, 10, 200, 20, 0.5f, D3DCMP_LESS, true, 0xFF102030},
      {true, 150, 15, 400, 30, 0.25f, 0, false, 0},  // cuts the right of the drawn rows, and new rows
      {false, 0, 0, 640, 40, 0.25f, D3DCMP_EQUAL, false, 0xFF00FF00},
      {true, 300, 5, 350, 12, 0.75f, 0, false, 0},
      {false, 250, 0, 500, 40, 0.6f, D3DCMP_LESS, true, 0xFF0000FF},
      {true, 0, 35, 640, 40, 0.5f, 0, false, 0},
      {false, 10, 30, 630, 40, 0.5f, D3DCMP_EQUAL, true, 0xFFFF0000},
      {true, 100, 0, 110, 40, 0.25f, 0, false, 0},  // inside the written stretch of some rows
      {true, 600, 0, 640, 20, 0.75f, 0, false, 0},
      {false, 0, 0, 640, 40, 0.25f, D3DCMP_NOTEQUAL, false, 0xFF808080},
      {false, 90, 0, 120, 40, 0.25f, D3DCMP_EQUAL, true, 0xFFFFFFFF},
      {false, 590, 0, 640, 40, 0.75f, D3DCMP_GREATEREQUAL, true, 0xFF123456},
  };
  for (D3DFORMAT format : {D3DFMT_D32, D3DFMT_D16}) {
    for (bool reference : {false, true}) {
      SCOPED_TRACE(testing::Message() << "format " << format << " reference " << reference);
      d3d8test::UseReferencePixels(reference);
      CreateDevice(D3DFMT_X8R8G8B8, format);
      UseTarget(kWidth, kHeight);
      device_->SetRenderState(D3DRS_LIGHTING, FALSE);
      device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
      device_->SetRenderState(D3DRS_ZENABLE, TRUE);
      device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
      auto stored = [&](float z) {
        const double scaled = static_cast<double>(z) * (format == D3DFMT_D32 ? 4294967296.0 : 65535.0);
        const double rounded = format == D3DFMT_D32 ? scaled : scaled + 0.5;
        return static_cast<uint32_t>(std::min(rounded, format == D3DFMT_D32 ? 4294967295.0 : 65535.0));
      };
      std::vector<uint32_t> colour(kWidth * kHeight, 0xFF000000);
      std::vector<uint32_t> depth(kWidth * kHeight, stored(1.0f));
      for (const Op& op : ops) {
        const uint32_t z = stored(op.z);
        if (op.clear) {
          D3DRECT rect = {op.x0, op.y0, op.x1, op.y1};
          ASSERT_EQ(device_->Clear(1, &rect, D3DCLEAR_ZBUFFER, 0, op.z, 0), D3D_OK);
        } else {
          device_->SetRenderState(D3DRS_ZFUNC, op.func);
          device_->SetRenderState(D3DRS_ZWRITEENABLE, op.write ? TRUE : FALSE);
          ASSERT_EQ(DrawQuad(static_cast<float>(op.x0), static_cast<float>(op.y0), static_cast<float>(op.x1),
                             static_cast<float>(op.y1), op.colour, op.z),
                    D3D_OK);
        }
        for (int y = op.y0; y < op.y1; ++y) {
          for (int x = op.x0; x < op.x1; ++x) {
            uint32_t& d = depth[y * kWidth + x];
            if (op.clear) {
              d = z;
            } else if (d3d8sw::Compare(op.func, z, d)) {
              colour[y * kWidth + x] = op.colour;
              if (op.write) d = z;
            }
          }
        }
      }
      std::vector<uint32_t> pixels = TargetPixels();
      std::vector<uint32_t> values = DepthValues();
      values.resize(depth.size());
      size_t wrongColour = 0, wrongDepth = 0;
      for (size_t i = 0; i < depth.size(); ++i) {
        wrongColour += pixels[i] != colour[i];
        wrongDepth += values[i] != depth[i];
      }
      EXPECT_EQ(wrongColour, 0u);
      EXPECT_EQ(wrongDepth, 0u);
      ReleaseDevice();
    }
  }
}

}  // namespace
