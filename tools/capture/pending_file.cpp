// Output files written under temporary names.
#include "pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr char kSuffix[] = ".part";

// The process's file-creation mask, read once (reading it means setting it).
mode_t CreationMask() {
  static const mode_t mask = [] {
    mode_t m = umask(0);
    umask(m);
    return m;
  }();
  return mask;
}

std::string Reason(const std::string& what, int error) { return "cannot write " + what + ": " + std::strerror(error); }

}  // namespace

int PendingFile::Create(const std::string& target, std::string* error) {
  Discard();
  target_ = target;
  renamed_ = false;
  struct stat status;
  if (stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    if (S_ISDIR(status.st_mode)) {
      *error = Reason(target, EISDIR);
      return -1;
    }
    writePath_ = target;
    finalPath_ = target;
    int fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) *error = Reason(target, errno);
    return fd;
  }
  // A symbolic link to a regular file keeps pointing at it: the temporary goes beside the file
  // the link names, and the rename replaces that file.
  std::string resolved = target;
  if (char* real = realpath(target.c_str(), nullptr)) {
    resolved = real;
    std::free(real);
  }
  std::string pattern = resolved + ".XXXXXX" + kSuffix;
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkostemps(name.data(), static_cast<int>(sizeof kSuffix - 1), O_CLOEXEC);
  if (fd < 0) {
    *error = Reason(target, errno);
    return -1;
  }
  // mkostemps makes the file private (0600); a finished output gets the usual mode.
  fchmod(fd, 0666 & ~CreationMask());
  writePath_ = name.data();
  finalPath_ = resolved;
  temporary_ = true;
  return fd;
}

bool PendingFile::Commit(std::string* error) {
  if (!temporary_) return true;
  if (std::rename(writePath_.c_str(), finalPath_.c_str()) != 0) {
    *error = Reason(target_, errno);
    return false;
  }
  temporary_ = false;
  renamed_ = true;
  return true;
}

void PendingFile::Discard() {
  if (temporary_) unlink(writePath_.c_str());
  temporary_ = false;
}
