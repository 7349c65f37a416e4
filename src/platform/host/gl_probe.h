// Finds out, without loading OpenGL into this process, whether the display's OpenGL is a real GPU
// or a software rasterizer: a child process opens a GL context and reports its renderer. A
// software rasterizer costs far more CPU and memory for scaling a 640x480 picture than drawing it
// into the window's own shared-memory surface does, and keeps its JIT and threads for good once loaded.
#pragma once

#include <optional>
#include <string>

namespace host {

// GL_RENDERER of a context on the current display, or nothing when none could be made (no GL,
// no display, or the child did not answer within a few seconds). Call before SDL starts.
std::optional<std::string> ProbeGlRenderer();

// True for the renderer names of software rasterizers (Mesa's llvmpipe, softpipe and swrast,
// SwiftShader, and others that say "software").
bool IsSoftwareGlRenderer(const std::string& renderer);

}  // namespace host
