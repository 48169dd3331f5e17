#include "core/model/task_file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

struct flock WholeFile(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return lock;
}

bool SameFile(int fd, const std::string& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

}  // namespace

std::string TTaskFileLock::LockPath(const std::string& taskFile) {
  return std::string(ExtractFilePath(taskFile)) + "." + std::string(ExtractFileName(taskFile)) + ".lock";
}

bool TTaskFileLock::IsLockName(std::string_view name) {
  constexpr std::string_view kSuffix = ".lock";
  if (name.size() <= 1 + kSuffix.size() || name.front() != '.' || !name.ends_with(kSuffix)) return false;
  return SameText(ExtractFileExt(name.substr(1, name.size() - 1 - kSuffix.size())), ".wrp");
}

std::unique_ptr<TTaskFileLock> TTaskFileLock::TryLock(const std::string& taskFile) {
  const std::string path = LockPath(taskFile);
  for (;;) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) throw EFileError("Cannot make the lock file", path, errno);
    struct flock lock = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
      const int err = errno;
      ::close(fd);
      if (err == EAGAIN || err == EACCES) return nullptr;
      throw EFileError("Cannot lock", path, err);
    }
    // The holder before us removed the file between our open and our lock:
    // the lock is on a file nobody else will look at.
    if (SameFile(fd, path)) return std::unique_ptr<TTaskFileLock>(new TTaskFileLock(path, fd));
    ::close(fd);
  }
}

bool TTaskFileLock::IsBusy(const std::string& taskFile) {
  const int fd = ::open(LockPath(taskFile).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  struct flock lock = WholeFile(F_WRLCK);
  const bool busy = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
  ::close(fd);
  return busy;
}

// Removed while still locked, so that a locker who opened it meanwhile sees
// that it is gone and makes a new one.
TTaskFileLock::~TTaskFileLock() {
  ::unlink(path_.c_str());
  ::close(fd_);
}

}  // namespace vdk
