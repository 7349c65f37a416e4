// Asks a child process which OpenGL renderer the display has.
#include "platform/host/gl_probe.h"

#include <SDL.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace host {

namespace {

// How long the child may take to open a display and a context.
constexpr int kProbeTimeoutMilliseconds = 5000;
constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

// In the child: open a hidden GL window, write the renderer's name to `fd`, exit.
[[noreturn]] void RunProbe(int fd) {
  int status = 1;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_VIDEO) == 0) {
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window != nullptr ? SDL_GL_CreateContext(window) : nullptr;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = context != nullptr ? reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString")) : nullptr;
    const unsigned char* name = getString != nullptr ? getString(kGlRenderer) : nullptr;
    if (name != nullptr) {
      std::string text(reinterpret_cast<const char*>(name));
      status = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1;
    }
  }
  // No clean-up: the process ends here, and the parent's X connection is not ours to touch.
  _exit(status);
}

}  // namespace

std::optional<std::string> ProbeGlRenderer() {
  int fds[2];
  if (pipe(fds) != 0) return std::nullopt;
  pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return std::nullopt;
  }
  if (child == 0) {
    close(fds[0]);
    RunProbe(fds[1]);
  }
  close(fds[1]);
  std::string answer;
  bool complete = false;
  pollfd pending{fds[0], POLLIN, 0};
  while (poll(&pending, 1, kProbeTimeoutMilliseconds) > 0) {
    char buffer[256];
    ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got <= 0) {
      complete = got == 0;
      break;
    }
    answer.append(buffer, static_cast<size_t>(got));
  }
  close(fds[0]);
  if (!complete) kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || answer.empty()) return std::nullopt;
  return answer;
}

bool IsSoftwareGlRenderer(const std::string& renderer) {
  std::string name = renderer;
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  for (const char* software : {"llvmpipe", "softpipe", "swrast", "software", "swiftshader"}) {
    if (name.find(software) != std::string::npos) return true;
  }
  return false;
}

}  // namespace host
