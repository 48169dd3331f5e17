#pragma once

#include <string>

namespace vdk {

// An exclusive lock between processes (and between threads holding separate
// locks) on a lock file, held for the object's lifetime. The lock file is
// created when missing and never removed, since removing it would let two
// holders lock different files.
class TFileLock {
 public:
  // Waits for the lock. Raises EFileError when the lock file cannot be opened.
  explicit TFileLock(const std::string& path);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace vdk
