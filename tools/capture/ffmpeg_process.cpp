// Runs ffmpeg for the video encoder.
#include "ffmpeg_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "interrupt_signal.h"

extern char** environ;

namespace {

// What ffmpeg wrote to stderr, on one line: trimmed lines joined by "; ", the end kept when long.
std::string OneLine(int fd) {
  constexpr size_t kKeep = 1000;  // characters; ffmpeg's last words name the cause
  std::string text;
  char buffer[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  std::string line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string piece = text.substr(start, end - start);
    size_t first = piece.find_first_not_of(" \t");
    if (first != std::string::npos) {
      if (!line.empty()) line += "; ";
      line += piece.substr(first, piece.find_last_not_of(" \t") - first + 1);
    }
    start = end + 1;
  }
  if (line.size() > kKeep) line = "..." + line.substr(line.size() - kKeep);
  return line;
}

}  // namespace

bool FfmpegProcess::Start(const std::vector<std::string>& arguments, bool feed, std::string* error) {
  Kill();
  int pipeFds[2] = {-1, -1};
  if (feed && pipe2(pipeFds, O_CLOEXEC) != 0) {
    *error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
    return false;
  }
  stderr_ = memfd_create("ffmpeg-stderr", MFD_CLOEXEC);
  if (stderr_ < 0) {
    *error = std::string("cannot keep ffmpeg's messages: ") + std::strerror(errno);
    if (feed) {
      close(pipeFds[0]);
      close(pipeFds[1]);
    }
    return false;
  }

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  if (feed) {
    posix_spawn_file_actions_adddup2(&files, pipeFds[0], 0);
  } else {
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  }
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files, stderr_, 2);

  // ffmpeg gets the dispositions a shell would give it, in a process group of its own.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  for (int signal : {SIGPIPE, SIGXFSZ, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>("ffmpeg"));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int started = posix_spawnp(&pid_, "ffmpeg", &files, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  if (feed) close(pipeFds[0]);
  if (started != 0) {
    pid_ = -1;
    if (feed) close(pipeFds[1]);
    close(stderr_);
    stderr_ = -1;
    *error = std::string("cannot start ffmpeg: ") + std::strerror(started);
    return false;
  }
  input_ = feed ? pipeFds[1] : -1;
  return true;
}

bool FfmpegProcess::Write(const void* bytes, size_t size, std::string* error) {
  const char* next = static_cast<const char*>(bytes);
  while (size > 0) {
    if (InterruptSignal::Received() != 0) {
      *error = "interrupted";
      return false;
    }
    ssize_t written = write(input_, next, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) {
        // ffmpeg closed its input: it has failed or is failing; its exit says why.
        Finish(error);
        if (error->empty()) *error = "ffmpeg stopped reading the frames";
      } else {
        *error = std::string("cannot feed ffmpeg: ") + std::strerror(errno);
      }
      return false;
    }
    next += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool FfmpegProcess::Finish(std::string* error) {
  if (input_ >= 0) close(input_);
  input_ = -1;
  if (pid_ < 0) return false;
  int status = 0;
  if (!Wait(&status)) {
    *error = "interrupted";
    return false;
  }
  bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!ok) *error = Failure(status);
  close(stderr_);
  stderr_ = -1;
  return ok;
}

void FfmpegProcess::Kill() {
  if (input_ >= 0) close(input_);
  input_ = -1;
  if (pid_ >= 0) {
    kill(pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
  if (stderr_ >= 0) close(stderr_);
  stderr_ = -1;
}

// Waits for the run to end; on a signal for the capture, ends it at once and reports false.
bool FfmpegProcess::Wait(int* status) {
  for (;;) {
    if (InterruptSignal::Received() != 0) {
      Kill();
      return false;
    }
    pid_t done = waitpid(pid_, status, 0);
    if (done == pid_) {
      pid_ = -1;
      return true;
    }
    if (done < 0 && errno != EINTR) {
      pid_ = -1;
      *status = -1;
      return true;
    }
  }
}

std::string FfmpegProcess::Failure(int status) {
  std::string what;
  if (status == -1) {
    what = "ffmpeg was lost";
  } else if (WIFSIGNALED(status)) {
    what = "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
  } else {
    what = "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status));
  }
  std::string said = OneLine(stderr_);
  return said.empty() ? what : what + ": " + said;
}
