// The two folders every art tool works between: the source tree it reads, the tree it writes.
#pragma once

#include <filesystem>

namespace artkit {

// Outputs go to the same relative paths under `output` as they have under `source`, so running a
// tool with both set to the checkout refreshes the committed data, and tests can regenerate the
// data into a scratch folder and compare.
struct ToolRoots {
  std::filesystem::path source;
  std::filesystem::path output;
};

// Parses "<tool> <source root> <output root>"; false (with usage on stderr) otherwise.
bool ParseToolRoots(int argc, char** argv, ToolRoots& roots);

}  // namespace artkit
