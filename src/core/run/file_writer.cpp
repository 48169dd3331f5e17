#include "core/run/file_writer.h"

#include <unistd.h>

#include <cerrno>

namespace vdk {

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

bool IsNoRoom(int err) { return err == ENOSPC || err == EDQUOT; }

}  // namespace vdk
