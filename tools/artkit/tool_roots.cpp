// Command line of the art tools.
#include "tool_roots.h"

#include <cstdio>

namespace artkit {

bool ParseToolRoots(int argc, char** argv, ToolRoots& roots) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <source root> <output root>\n", argc > 0 ? argv[0] : "tool");
    return false;
  }
  roots.source = argv[1];
  roots.output = argv[2];
  return true;
}

}  // namespace artkit
