// Pattern cutting: equal cuts of the timeline, identical cuts stored once.
#include "pattern_compiler.h"

#include <stdexcept>

namespace {

constexpr int kMaxRows = 256;
constexpr size_t kMaxOrders = 256;
constexpr size_t kPatternHeaderBytes = 9;

CompiledPatterns Cut(const std::vector<std::vector<XmCell>>& cells, int totalRows, int rows, int loopRow) {
  const int channels = static_cast<int>(cells.size());
  CompiledPatterns out;
  out.patternRows = rows;
  for (int start = 0; start < totalRows; start += rows) {
    XmPattern p;
    p.rows = rows;
    p.cells.reserve(static_cast<size_t>(rows) * channels);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < channels; ++c) p.cells.push_back(cells[c][start + r]);
    size_t index = out.patterns.size();
    for (size_t i = 0; i < out.patterns.size(); ++i)
      if (out.patterns[i] == p) {
        index = i;
        break;
      }
    if (index == out.patterns.size()) {
      out.bytes += kPatternHeaderBytes + PackXmPattern(p, channels).size();
      out.patterns.push_back(std::move(p));
    }
    out.orders.push_back(static_cast<uint8_t>(index));
  }
  out.restart = loopRow / rows;
  return out;
}

}  // namespace

CompiledPatterns CompilePatterns(const std::vector<std::vector<XmCell>>& cells, int totalRows, int rowsPerBar,
                                 int loopRow) {
  CompiledPatterns best;
  bool found = false;
  for (int bars = 1; bars * rowsPerBar <= kMaxRows; ++bars) {
    int rows = bars * rowsPerBar;
    if (totalRows % rows != 0 || loopRow % rows != 0) continue;
    if (static_cast<size_t>(totalRows / rows) > kMaxOrders) continue;
    CompiledPatterns c = Cut(cells, totalRows, rows, loopRow);
    if (c.patterns.size() > 256) continue;
    if (!found || c.bytes < best.bytes) {
      best = std::move(c);
      found = true;
    }
  }
  if (!found) throw std::runtime_error("no pattern length fits the song and its loop point");
  return best;
}
