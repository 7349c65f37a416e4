// One run of ffmpeg: started without a shell in a process group of its own (so Ctrl+C reaches
// only the capture tool, which then ends it), fed through a pipe or nothing, its stderr kept in
// memory for the message when it fails.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class FfmpegProcess {
 public:
  FfmpegProcess() = default;
  FfmpegProcess(const FfmpegProcess&) = delete;
  FfmpegProcess& operator=(const FfmpegProcess&) = delete;
  // Kills a run that was not finished and waits for it.
  ~FfmpegProcess() { Kill(); }

  // Starts `ffmpeg arguments...`; with `feed`, its standard input is a pipe that Write fills,
  // otherwise /dev/null. False with the reason when it cannot start.
  bool Start(const std::vector<std::string>& arguments, bool feed, std::string* error);
  // Writes all of `size` bytes to its input. False with the reason when ffmpeg stopped reading
  // (its own message, once it has exited) or a signal interrupted the capture.
  bool Write(const void* bytes, size_t size, std::string* error);
  // Closes its input and waits for it; false with the reason (its exit status or signal and what
  // it wrote to stderr) unless it exited with status 0. A signal for the capture ends the wait.
  bool Finish(std::string* error);
  // Ends a run at once.
  void Kill();

 private:
  bool Wait(int* status);
  std::string Failure(int status);

  pid_t pid_ = -1;
  int input_ = -1;   // our end of its standard input
  int stderr_ = -1;  // memory file holding its standard error
};
