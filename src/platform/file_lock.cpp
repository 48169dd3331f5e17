#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "core/base/errors.h"

namespace vdk {

TFileLock::TFileLock(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) throw EFileError("Cannot open the lock file", path, errno);
  int result;
  while ((result = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (result != 0) {
    const int err = errno;
    ::close(fd_);
    throw EFileError("Cannot lock", path, err);
  }
}

// Closing the descriptor releases the lock.
TFileLock::~TFileLock() { ::close(fd_); }

}  // namespace vdk
