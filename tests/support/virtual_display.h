// A private X server (Xvfb) for end-to-end tests: started on a free display number, ready to take
// clients when Start returns, ended so that it cleans up after itself, and read back as pixels.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Where a window is and how large, in screen pixels.
struct WindowGeometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class VirtualDisplay {
 public:
  VirtualDisplay() = default;
  ~VirtualDisplay() { Stop(); }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // Starts Xvfb with one screen of width x height at 24 bits; false when it does not start or
  // takes no clients within 30 s.
  bool Start(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    server_ = fork();
    if (server_ == 0) {
      close(fds[0]);
      std::string fd = std::to_string(fds[1]);
      std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
      int devnull = open("/dev/null", O_WRONLY);
      dup2(devnull, 2);
      // -noreset: an X server resets when its last client leaves, and refuses connections while
      // it does; probes and xdotool come and go while the program under test connects.
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number to the pipe once it listens.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return false;
    name_ = ":" + number;
    // On a loaded machine the number can come before the server takes clients; nothing may be
    // started against a server that would refuse it.
    double deadline = Now() + 30;
    while (Now() < deadline) {
      if (Display* x = XOpenDisplay(name_.c_str())) {
        XCloseDisplay(x);
        return true;
      }
      Sleep(0.05);
    }
    return false;
  }

  // Asks the server to end, so it removes its lock file and socket and the next test's server
  // does not have to judge them stale; kills it if it does not end in a few seconds.
  void Stop() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    double deadline = Now() + 5;
    while (Now() < deadline) {
      if (waitpid(server_, nullptr, WNOHANG) == server_) {
        server_ = -1;
        return;
      }
      Sleep(0.02);
    }
    Kill();
  }

  // Ends the server at once, as a crashing or killed server goes, and removes the lock file it
  // leaves behind.
  void Kill() {
    if (server_ <= 0) return;
    kill(server_, SIGKILL);
    waitpid(server_, nullptr, 0);
    server_ = -1;
    std::remove(("/tmp/.X" + name_.substr(1) + "-lock").c_str());
  }

  // The display's name for DISPLAY, such as ":5".
  const std::string& name() const { return name_; }

  // Runs a shell command against this display; its standard output (standard error dropped).
  std::string Run(const std::string& command, int* status) const {
    std::string output;
    FILE* pipe = popen(("DISPLAY=" + name_ + " " + command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
      *status = -1;
      return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    *status = pclose(pipe);
    return output;
  }

  // xdotool with these arguments (keys and mouse go through XTEST); true when it succeeded.
  bool XDoTool(const std::string& arguments) const {
    int status = 0;
    Run("xdotool " + arguments, &status);
    return status == 0;
  }
  // Focuses the window and types the keys (xdotool key syntax, e.g. "alt+Return"), 150 ms apart:
  // a program that polls its keys once a frame must see each alone even when a loaded machine
  // stretches a frame.
  bool Key(const std::string& window, const std::string& keys) const {
    return XDoTool("windowfocus --sync " + window + " key --delay 150 " + keys);
  }
  // Holds Alt down, taps Enter, lets Alt go: the way a hand presses Alt+Enter.
  bool AltEnter(const std::string& window) const {
    return XDoTool("windowfocus --sync " + window + " keydown alt sleep 0.3 key Return sleep 0.3 keyup alt");
  }
  std::optional<WindowGeometry> Geometry(const std::string& window) const {
    int status = 0;
    std::string text = Run("xdotool getwindowgeometry --shell " + window, &status);
    if (status != 0) return std::nullopt;
    WindowGeometry g;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      std::string key = line.substr(0, eq);
      int value = std::atoi(line.c_str() + eq + 1);
      if (key == "X") g.x = value;
      if (key == "Y") g.y = value;
      if (key == "WIDTH") g.width = value;
      if (key == "HEIGHT") g.height = value;
    }
    return g;
  }

  // The screen's pixels (X8R8G8B8), row by row; empty when the server cannot be reached.
  std::vector<uint32_t> Screen(int* width, int* height) const {
    std::vector<uint32_t> pixels;
    Display* x = XOpenDisplay(name_.c_str());
    if (x == nullptr) return pixels;
    Window root = DefaultRootWindow(x);
    XWindowAttributes attributes;
    XGetWindowAttributes(x, root, &attributes);
    XImage* image = XGetImage(x, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image != nullptr) {
      *width = attributes.width;
      *height = attributes.height;
      pixels.resize(static_cast<size_t>(*width) * *height);
      for (int py = 0; py < *height; ++py) {
        for (int px = 0; px < *width; ++px) {
          pixels[static_cast<size_t>(py) * *width + px] = static_cast<uint32_t>(XGetPixel(image, px, py));
        }
      }
      XDestroyImage(image);
    }
    XCloseDisplay(x);
    return pixels;
  }

 private:
  static double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }
  static void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

  pid_t server_ = -1;
  std::string name_;
};
