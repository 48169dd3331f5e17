#pragma once

#include <streambuf>
#include <vector>

namespace vdk {

// A write-only stream buffer over a file descriptor that remembers the first
// write error (errno) instead of losing it as std::ofstream does.
class FdStreamBuf : public std::streambuf {
 public:
  explicit FdStreamBuf(int fd, std::size_t bufferSize = 1 << 16);
  ~FdStreamBuf() override;
  FdStreamBuf(const FdStreamBuf&) = delete;
  FdStreamBuf& operator=(const FdStreamBuf&) = delete;

  // 0 when every byte so far reached the descriptor.
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;
  std::streamsize xsputn(const char* data, std::streamsize size) override;

 private:
  bool FlushBuffer();
  bool WriteAll(const char* data, std::size_t size);

  int fd_;
  std::vector<char> buffer_;
  int error_ = 0;
};

}  // namespace vdk
