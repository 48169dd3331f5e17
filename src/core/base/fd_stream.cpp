#include "core/base/fd_stream.h"

#include <unistd.h>
#include <cerrno>

namespace vdk {

FdStreamBuf::FdStreamBuf(int fd, std::size_t bufferSize) : fd_(fd), buffer_(bufferSize) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FdStreamBuf::~FdStreamBuf() { FlushBuffer(); }

bool FdStreamBuf::WriteAll(const char* data, std::size_t size) {
  while (size > 0 && error_ == 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno != EINTR) error_ = errno;
      continue;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return error_ == 0;
}

bool FdStreamBuf::FlushBuffer() {
  const bool ok = WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return ok;
}

FdStreamBuf::int_type FdStreamBuf::overflow(int_type c) {
  if (!FlushBuffer()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int FdStreamBuf::sync() { return FlushBuffer() ? 0 : -1; }

std::streamsize FdStreamBuf::xsputn(const char* data, std::streamsize size) {
  const auto n = static_cast<std::size_t>(size);
  if (n <= static_cast<std::size_t>(epptr() - pptr())) {
    std::copy(data, data + n, pptr());
    pbump(static_cast<int>(n));
    return size;
  }
  if (!FlushBuffer() || !WriteAll(data, n)) return 0;
  return size;
}

}  // namespace vdk
