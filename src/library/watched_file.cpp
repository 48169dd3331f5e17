#include "library/watched_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace vdk {
namespace {

constexpr qint64 kBlockSize = 64 * 1024;

}  // namespace

TWatchedFile::TWatchedFile(const std::string& path, std::stop_token stop) : path_(path), stop_(std::move(stop)) {}

TWatchedFile::~TWatchedFile() { close(); }

bool TWatchedFile::Open() {
  // O_NONBLOCK keeps a FIFO from blocking the open; only regular files are read.
  fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    close();
    return false;
  }
  size_ = st.st_size;
  return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void TWatchedFile::close() {
  if (isOpen()) QIODevice::close();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TWatchedFile::ResetWatch() {
  readPastEnd_ = false;
  shortRead_ = false;
}

bool TWatchedFile::Fill(qint64 offset) {
  cache_.resize(kBlockSize);
  const ssize_t got = ::pread(fd_, cache_.data(), cache_.size(), offset);
  if (got <= 0) return false;
  cacheStart_ = offset;
  cacheLength_ = got;
  return true;
}

qint64 TWatchedFile::readData(char* data, qint64 maxSize) {
  if (stop_.stop_requested() || fd_ < 0) return -1;
  const qint64 at = pos();
  if (maxSize > 0 && at >= size_) readPastEnd_ = true;
  const qint64 wanted = std::clamp<qint64>(size_ - at, 0, maxSize);
  if (wanted < maxSize) shortRead_ = true;

  qint64 done = 0;
  while (done < wanted) {
    const qint64 offset = at + done;
    if (offset < cacheStart_ || offset >= cacheStart_ + cacheLength_) {
      if (!Fill(offset)) return done > 0 ? done : -1;
    }
    const qint64 n = std::min(wanted - done, cacheStart_ + cacheLength_ - offset);
    std::memcpy(data + done, cache_.data() + (offset - cacheStart_), static_cast<std::size_t>(n));
    done += n;
  }
  return done;
}

}  // namespace vdk
