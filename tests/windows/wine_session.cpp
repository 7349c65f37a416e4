// The Windows program under Wine in a private X server.
#include "wine_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

std::string CacheDir() {
  const char* cache = std::getenv("MUSIDISK_CACHE");
  if (cache != nullptr && *cache != '\0') return cache;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "/tmp") + "/.cache/tarnvik-musidisk";
}

// One prefix per machine: wineboot takes a while. The lock keeps two sessions, also of other
// checkouts, from sharing its wineserver at the same time.
std::string PrefixDir() { return CacheDir() + "/wine-prefix"; }

bool OnPath(const char* program) {
  std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// ALSA configurations that replace the system's: a default device that takes whatever it is
// given into a file (the null output underneath paces nothing and needs no hardware), or no
// device at all.
std::string RecordingAlsaConfig(const std::string& soundFile) {
  return "pcm.!default {\n"
         "  type file\n"
         "  slave { pcm { type null } }\n"
         "  file \"" + soundFile + "\"\n"
         "  format \"raw\"\n"
         "}\n";
}

}  // namespace

double WineNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void WineSleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

std::string WindowsProgram() {
  const char* exe = std::getenv("MUSIDISK_WINDOWS_EXE");
  return exe != nullptr && *exe != '\0' ? exe : std::string(MUSIDISK_WINDOWS_DIR) + "/musidisk.exe";
}

std::string WindowsProbe() {
  return std::filesystem::path(WindowsProgram()).parent_path().string() + "/musidisk-window-probe.exe";
}

std::string WindowsHeldFrame() {
  return std::filesystem::path(WindowsProgram()).parent_path().string() + "/musidisk-held-frame.exe";
}

std::string WineSession::MissingPart() {
  if (!OnPath("wine") || !OnPath("wineserver")) return "wine is not installed (scripts/deps installs it)";
  if (!std::filesystem::exists(WindowsProgram())) return WindowsProgram() + " is missing (scripts/windows builds it)";
  for (const std::string& tool : {WindowsProbe(), WindowsHeldFrame()}) {
    if (!std::filesystem::exists(tool)) return tool + " is missing (scripts/windows builds it)";
  }
  return "";
}

WineSession::WineSession() {
  char pattern[] = "/tmp/musidisk-wine-XXXXXX";
  if (mkdtemp(pattern) != nullptr) scratch_ = pattern;
  soundFile_ = scratch_ + "/sound.raw";
  alsaConfig_ = scratch_ + "/asound.conf";
}

WineSession::~WineSession() {
  if (program_ > 0 || lockFd_ >= 0) {
    // Ends every process of the prefix, the program included, and waits for the server to go.
    int status = 0;
    Run("wineserver -k", &status);
    Run("wineserver -w", &status);
  }
  if (program_ > 0) {
    kill(program_, SIGKILL);
    waitpid(program_, nullptr, 0);
  }
  server_.Stop();
  if (lockFd_ >= 0) close(lockFd_);
  if (!scratch_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
  }
}

std::string WineSession::WineEnvironment() const {
  // No debug output, no offers to install Mono or Gecko, ALSA as the sound system.
  return "WINEPREFIX='" + PrefixDir() + "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=" + server_.name() +
         " ALSA_CONFIG_PATH='" + alsaConfig_ + "'";
}

std::string WineSession::Run(const std::string& command, int* status) {
  std::string full = WineEnvironment() + " " + command + " 2>/dev/null";
  FILE* pipe = popen(full.c_str(), "r");
  std::string output;
  if (pipe == nullptr) {
    *status = -1;
    return output;
  }
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  *status = pclose(pipe);
  return output;
}

bool WineSession::Start(int width, int height) {
  if (scratch_.empty()) {
    error_ = "no scratch folder";
    return false;
  }
  if (!server_.Start(width, height)) {
    error_ = "Xvfb did not start or takes no clients";
    return false;
  }
  return PreparePrefix();
}

bool WineSession::PreparePrefix() {
  std::filesystem::create_directories(CacheDir());
  lockFd_ = open((CacheDir() + "/wine-prefix.lock").c_str(), O_RDWR | O_CREAT, 0644);
  if (lockFd_ < 0 || flock(lockFd_, LOCK_EX) != 0) {
    error_ = "cannot lock the Wine prefix";
    return false;
  }
  const std::string ready = PrefixDir() + "/.musidisk-ready";
  if (std::filesystem::exists(ready)) return true;
  std::error_code ignored;
  std::filesystem::remove_all(PrefixDir(), ignored);
  int status = 0;
  Run("wine wineboot -i >/dev/null", &status);
  Run("wineserver -w", &status);
  // Wine would try PulseAudio first; the tests give it ALSA devices.
  Run("wine reg add 'HKCU\\Software\\Wine\\Drivers' /v Audio /d alsa /f >/dev/null", &status);
  bool added = status == 0;
  Run("wineserver -w", &status);
  if (!added || !std::filesystem::exists(PrefixDir() + "/system.reg")) {
    error_ = "wineboot did not make a prefix in " + PrefixDir();
    return false;
  }
  std::ofstream(ready) << "made by tests/windows\n";
  return true;
}

bool WineSession::StartProgram(Audio audio) { return Launch(audio, {WindowsProgram()}); }

bool WineSession::StartHeldFrame(int effect, long frames, uint32_t seed, int fps) {
  return Launch(Audio::kRecorded,
                {WindowsHeldFrame(), std::to_string(effect), std::to_string(frames), std::to_string(seed),
                 std::to_string(fps)});
}

bool WineSession::Launch(Audio audio, const std::vector<std::string>& arguments) {
  {
    std::ofstream config(alsaConfig_);
    if (audio == Audio::kRecorded) config << RecordingAlsaConfig(soundFile_);
  }
  std::vector<char*> argv;
  std::string wine = "wine";
  argv.push_back(wine.data());
  std::vector<std::string> copies = arguments;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  program_ = fork();
  if (program_ == 0) {
    setenv("WINEPREFIX", PrefixDir().c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    setenv("DISPLAY", server_.name().c_str(), 1);
    setenv("ALSA_CONFIG_PATH", alsaConfig_.c_str(), 1);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    dup2(devnull, 2);
    execvp("wine", argv.data());
    _exit(127);
  }
  return program_ > 0;
}

std::vector<std::string> WineSession::WaitForWindows(const std::string& name, size_t count, double seconds) {
  double deadline = WineNow() + seconds;
  std::vector<std::string> ids;
  while (WineNow() < deadline) {
    int status = 0;
    std::istringstream lines(Run("xdotool search --onlyvisible --name '^" + name + "$'", &status));
    ids.clear();
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty()) ids.push_back(line);
    }
    if (ids.size() >= count) return ids;
    WineSleep(0.1);
  }
  return {};
}

std::optional<WindowGeometry> WineSession::Geometry(const std::string& window) { return server_.Geometry(window); }

bool WineSession::XDoTool(const std::string& arguments) { return server_.XDoTool(arguments); }

bool WineSession::Key(const std::string& window, const std::string& keys) { return server_.Key(window, keys); }

bool WineSession::AltEnter(const std::string& window) { return server_.AltEnter(window); }

std::vector<uint32_t> WineSession::Screen(int* width, int* height) { return server_.Screen(width, height); }

std::vector<std::string> WineSession::DialogTexts(const std::string& caption) {
  int status = 0;
  std::istringstream lines(Run("wine '" + WindowsProbe() + "' '" + caption + "'", &status));
  std::vector<std::string> texts;
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) texts.push_back(line);
  }
  return texts;
}

std::optional<int> WineSession::WaitForExit(double seconds) {
  double deadline = WineNow() + seconds;
  while (WineNow() < deadline) {
    int status = 0;
    pid_t done = waitpid(program_, &status, WNOHANG);
    if (done == program_) {
      program_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    WineSleep(0.05);
  }
  return std::nullopt;
}

size_t WineSession::SoundBytes(size_t* nonZero) const {
  std::ifstream in(soundFile_, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  *nonZero = 0;
  for (char b : bytes) *nonZero += b != 0 ? 1 : 0;
  return bytes.size();
}
