#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vdk {

// A run's hold on its task file, so that a second run of the same file (from
// another vendrake-cli or the desktop program) refuses instead of crawling
// everything a second time and overwriting the file's state with its own.
//
// The lock is an open-file-description lock on a hidden file beside the task
// file (".<file name>.lock"): the kernel drops it when the process ends, a
// crash included, so a stale lock file never keeps a task busy. The lock file
// is removed on release; a locker checks after locking that the file it
// locked is still the one at the path.
class TTaskFileLock {
 public:
  // Takes the lock; null when another run holds it. Raises EFileError when
  // the lock file cannot be made (a folder that cannot be written).
  static std::unique_ptr<TTaskFileLock> TryLock(const std::string& taskFile);
  // Whether a run holds the task file now; never takes the lock, so asking
  // never makes a starting run refuse. For the desktop's busy mark.
  static bool IsBusy(const std::string& taskFile);
  // ".<file name>.lock" in the task file's folder.
  static std::string LockPath(const std::string& taskFile);
  // Whether a file name is that of a task file's lock (".<name>.wrp.lock").
  static bool IsLockName(std::string_view name);

  ~TTaskFileLock();
  TTaskFileLock(const TTaskFileLock&) = delete;
  TTaskFileLock& operator=(const TTaskFileLock&) = delete;

 private:
  TTaskFileLock(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

  std::string path_;
  int fd_;
};

}  // namespace vdk
