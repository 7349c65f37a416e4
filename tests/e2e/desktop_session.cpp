// A private X server with the music disk running in it.
#include "desktop_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace

namespace {

std::string TemporaryFile(const char* prefix) {
  std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd >= 0) close(fd);
  return pattern;
}

}  // namespace

DesktopSession::DesktopSession() : soundFile_(TemporaryFile("musidisk-sound")), errorFile_(TemporaryFile("musidisk-stderr")) {}

DesktopSession::~DesktopSession() {
  Stop(program_);
  server_.Stop();
  std::remove(soundFile_.c_str());
  std::remove(errorFile_.c_str());
}

bool DesktopSession::StartServer(int width, int height) { return server_.Start(width, height); }

bool DesktopSession::StartProgram(const std::vector<std::string>& arguments, const std::string& audioDriver) {
  std::string program = std::string(MUSIDISK_BINARY_DIR) + "/musidisk";
  std::vector<char*> argv{program.data()};
  std::vector<std::string> copies = arguments;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  program_ = fork();
  if (program_ == 0) {
    setenv("DISPLAY", display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", audioDriver.c_str(), 1);
    setenv("SDL_DISKAUDIOFILE", soundFile_.c_str(), 1);
    // In a sanitizer build the real executable loads the system's X11, D-Bus and audio libraries,
    // whose one-time allocations LeakSanitizer reports at exit; the program's own code is checked
    // for leaks in process by the headless tests.
    setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
    int err = open(errorFile_.c_str(), O_WRONLY | O_TRUNC);
    if (err >= 0) dup2(err, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return program_ > 0;
}

bool DesktopSession::Signal(int signal) { return program_ > 0 && kill(program_, signal) == 0; }

void DesktopSession::KillServer() { server_.Kill(); }

std::string DesktopSession::ErrorOutput() const {
  std::ifstream in(errorFile_);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string DesktopSession::Run(const std::string& command, int* status) { return server_.Run(command, status); }

std::optional<std::string> DesktopSession::WaitForWindow(double seconds) {
  double deadline = Now() + seconds;
  while (Now() < deadline) {
    int status = 0;
    std::string id = Run("xdotool search --onlyvisible --name 'Tarnvik Musidisk'", &status);
    if (status == 0 && !id.empty()) return id.substr(0, id.find('\n'));
    Sleep(0.1);
  }
  return std::nullopt;
}

std::vector<std::string> DesktopSession::ProgramWindows() {
  // Asked of the server itself: the message box's window is one xdotool's search passes over.
  std::vector<std::string> ids;
  Display* x = XOpenDisplay(display().c_str());
  if (x == nullptr) return ids;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      XTextProperty name{};
      // The name's bytes: an ASCII title reads the same in every encoding a client may set.
      if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable &&
          XGetWMName(x, children[i], &name) && name.value != nullptr) {
        std::string title(reinterpret_cast<const char*>(name.value), name.nitems);
        if (title == "Tarnvik Musidisk") ids.push_back(std::to_string(children[i]));
        XFree(name.value);
      }
    }
    if (children != nullptr) XFree(children);
  }
  XCloseDisplay(x);
  return ids;
}

std::optional<WindowGeometry> DesktopSession::Geometry(const std::string& window) { return server_.Geometry(window); }

std::optional<WindowGeometry> DesktopSession::WaitForSize(const std::string& window, int width, int height,
                                                          double seconds) {
  double deadline = Now() + seconds;
  std::optional<WindowGeometry> g = Geometry(window);
  while (Now() < deadline && (!g || g->width != width || g->height != height)) {
    Sleep(0.1);
    g = Geometry(window);
  }
  return g;
}

std::string DesktopSession::WindowName(const std::string& window) {
  int status = 0;
  std::string name = Run("xdotool getwindowname " + window, &status);
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

bool DesktopSession::XDoTool(const std::string& arguments) { return server_.XDoTool(arguments); }

bool DesktopSession::Key(const std::string& window, const std::string& keys) { return server_.Key(window, keys); }

bool DesktopSession::AltEnter(const std::string& window) { return server_.AltEnter(window); }

bool DesktopSession::RequestClose(const std::string& window) {
  Display* x = XOpenDisplay(display().c_str());
  if (x == nullptr) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::stoul(window));
  event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(x, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(x);
  return sent != 0;
}

std::vector<uint32_t> DesktopSession::Screen(int* width, int* height) { return server_.Screen(width, height); }

std::optional<int> DesktopSession::WaitForExit(double seconds) {
  double deadline = Now() + seconds;
  while (Now() < deadline) {
    int status = 0;
    pid_t done = waitpid(program_, &status, WNOHANG);
    if (done == program_) {
      program_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    Sleep(0.05);
  }
  return std::nullopt;
}

std::vector<int16_t> DesktopSession::Sound() const {
  std::ifstream in(soundFile_, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return samples;
}

double MeanBrightness(const std::vector<uint32_t>& screen, int width, int x0, int y0, int x1, int y1) {
  double sum = 0;
  long count = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      uint32_t p = screen[static_cast<size_t>(y) * width + x];
      sum += (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3.0;
      ++count;
    }
  }
  return count ? sum / count : 0;
}
