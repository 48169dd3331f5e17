#include "library/file_actions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <vector>

#include "core/base/path_utils.h"

namespace vdk {
namespace {

constexpr std::size_t kBlock = 1 << 20;

bool SameIdentity(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

TTransferResult Outcome(TTransferStatus status, const std::string& target, int error = 0) {
  return {status, target, error};
}

// Closes the descriptor when the scope ends.
class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports the error close gives (a late write failure).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Copies every byte of in to out; ECANCELED when stop was requested.
int CopyBytes(int in, int out, const std::stop_token& stop) {
  std::vector<char> block(kBlock);
  for (;;) {
    if (stop.stop_requested()) return ECANCELED;
    const ssize_t got = ::read(in, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    if (const int err = WriteAll(out, block.data(), static_cast<std::size_t>(got))) return err;
  }
}

// Fills a new temporary file in the target's folder from the open source and
// renames it to the target. The temporary file never outlives a failure.
int CopyIntoPlace(int in, const struct stat& info, const std::string& target, TReplace replace,
                  const std::stop_token& stop) {
  std::string temporary = std::string(ExtractFilePath(target)) + ".vdk-copy-XXXXXX";
  TFd out(::mkostemp(temporary.data(), O_CLOEXEC));
  if (out.Get() < 0) return errno;
  int err = CopyBytes(in, out.Get(), stop);
  if (err == 0) {
    const std::array<struct timespec, 2> times = {info.st_atim, info.st_mtim};
    ::fchmod(out.Get(), info.st_mode & 07777);
    ::futimens(out.Get(), times.data());
    if (::fsync(out.Get()) != 0) err = errno;
  }
  if (const int closeErr = out.Close(); err == 0) err = closeErr;
  if (err == 0) {
    if (replace == TReplace::Allowed)
      err = ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
    else
      err = RenameNoReplace(temporary, target);
  }
  if (err != 0) ::unlink(temporary.c_str());
  return err;
}

// Opens a regular file for reading without ever blocking on a FIFO.
int OpenRegular(const std::string& path, struct stat& info, int& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

TTransferResult CopyOpened(int in, const struct stat& info, const std::string& target, TReplace replace,
                           const std::stop_token& stop) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && SameIdentity(existing, info))
    return Outcome(TTransferStatus::SameFile, target);
  const int err = CopyIntoPlace(in, info, target, replace, stop);
  if (err == ECANCELED) return Outcome(TTransferStatus::Cancelled, target);
  return Outcome(err == 0 ? TTransferStatus::Done : TTransferStatus::Failed, target, err);
}

}  // namespace

int DeleteFileEntry(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) return EPERM;
  return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

std::vector<int> DeleteFileEntries(const std::vector<std::string>& paths, std::stop_token stop,
                                   const TItemProgress& progress) {
  std::vector<int> deleted;
  for (std::size_t i = 0; i < paths.size() && !stop.stop_requested(); ++i) {
    if (DeleteFileEntry(paths[i]) == 0) deleted.push_back(static_cast<int>(i));
    if (progress) progress(static_cast<int>(i) + 1);
  }
  return deleted;
}

TTransferResult CopyFileTo(const std::string& source, const std::string& target, TReplace replace,
                           std::stop_token stop) {
  struct stat info {};
  int error = 0;
  TFd in(OpenRegular(source, info, error));
  if (in.Get() < 0) return Outcome(TTransferStatus::Failed, target, error);
  return CopyOpened(in.Get(), info, target, replace, stop);
}

TTransferResult MoveFileTo(const std::string& source, const std::string& target, TReplace replace,
                           std::stop_token stop) {
  struct stat info {
  }, existing{};
  if (::lstat(source.c_str(), &info) != 0) return Outcome(TTransferStatus::Failed, target, errno);
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
    return Outcome(TTransferStatus::Failed, target, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  // A rename onto another name of the same file succeeds and does nothing.
  if (::lstat(target.c_str(), &existing) == 0 && SameIdentity(existing, info))
    return Outcome(TTransferStatus::SameFile, target);
  if (stop.stop_requested()) return Outcome(TTransferStatus::Cancelled, target);

  int err = replace == TReplace::Allowed ? (::rename(source.c_str(), target.c_str()) == 0 ? 0 : errno)
                                         : RenameNoReplace(source, target);
  if (err != EXDEV) return Outcome(err == 0 ? TTransferStatus::Done : TTransferStatus::Failed, target, err);

  // Another file system: the source goes only once its copy is complete.
  TTransferResult copied = CopyFileTo(source, target, replace, stop);
  if (copied.Status != TTransferStatus::Done) return copied;
  if (::unlink(source.c_str()) != 0) return Outcome(TTransferStatus::Failed, target, errno);
  return copied;
}

}  // namespace vdk
