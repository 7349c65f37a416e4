// An output file written under a temporary name beside its final name and renamed into place only
// when complete, so a failed or interrupted run never leaves a partial file behind.
#pragma once

#include <string>

class PendingFile {
 public:
  PendingFile() = default;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // Removes the temporary unless it was committed.
  ~PendingFile() { Discard(); }

  // Creates the temporary "NAME.XXXXXX.part" beside `target` and returns a descriptor open for
  // writing to it (the caller closes it), or -1 with the reason in *error. When `target` is an
  // existing file that is not a regular file (a device such as /dev/null, a pipe), the bytes go
  // straight into it: there is nothing to rename, and a temporary beside a device is no place for them.
  int Create(const std::string& target, std::string* error);
  // Where the bytes are written: the temporary, or the target itself.
  const std::string& writePath() const { return writePath_; }
  const std::string& target() const { return target_; }
  // Where Commit puts the file: the target, or the regular file its symbolic link names.
  const std::string& finalPath() const { return finalPath_; }
  // Renames the temporary to the target; false with the reason when that fails.
  bool Commit(std::string* error);
  // True after Commit renamed a temporary of ours into place (not for a device or pipe written
  // straight): only then is the file at the target this run's to remove again.
  bool renamed() const { return renamed_; }
  // Removes the temporary (nothing when committed, direct or never created).
  void Discard();

 private:
  std::string target_;
  std::string writePath_;
  std::string finalPath_;   // the target, or the regular file its symbolic link names
  bool temporary_ = false;  // writePath_ is a temporary of ours, still to be renamed or removed
  bool renamed_ = false;
};
