// Cuts the song's row grid into patterns, shares identical ones, and picks the pattern length
// that packs smallest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "xm_module.h"

struct CompiledPatterns {
  std::vector<XmPattern> patterns;
  std::vector<uint8_t> orders;
  int restart = 0;      // order index of the loop row
  int patternRows = 0;  // rows per pattern chosen
  size_t bytes = 0;     // bytes the patterns take in the file, headers included
};

// cells[channel][row] for rows 0..totalRows-1. Pattern lengths tried are whole numbers of bars
// that divide both the song length and the loop row, up to 256 rows. Throws std::runtime_error
// when none fits the order list.
CompiledPatterns CompilePatterns(const std::vector<std::vector<XmCell>>& cells, int totalRows, int rowsPerBar,
                                 int loopRow);
