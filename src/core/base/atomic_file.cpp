#include "core/base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "core/base/errors.h"
#include "core/base/fd_stream.h"
#include "core/base/path_utils.h"

namespace vdk {
namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// Makes the rename itself durable; a failure here loses nothing.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void WriteThenRename(const std::string& path, mode_t mode, const std::function<void(std::ostream&)>& writer,
                     bool replace) {
  std::vector<char> temp(path.begin(), path.end());
  const std::string suffix = ".tmp-XXXXXX";
  temp.insert(temp.end(), suffix.begin(), suffix.end());
  temp.push_back('\0');
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) throw EFileError("Cannot create a file beside", path, errno);
  const std::string tempPath(temp.data());

  int err = 0;
  try {
    if (::fchmod(fd, mode) != 0) err = errno;
    FdStreamBuf buffer(fd);
    std::ostream out(&buffer);
    if (err == 0) {
      writer(out);
      out.flush();
      err = buffer.Error();
      if (err == 0 && !out) err = EIO;
    }
  } catch (...) {
    ::close(fd);
    ::unlink(tempPath.c_str());
    throw;
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0)
    err = replace ? (::rename(tempPath.c_str(), path.c_str()) == 0 ? 0 : errno) : RenameNoReplace(tempPath, path);
  if (err != 0) {
    ::unlink(tempPath.c_str());
    throw EFileError("Cannot write", path, err);
  }
  SyncFolder(FolderOf(path));
}

}  // namespace

mode_t DefaultFileMode() {
  // Read, not set and set back: umask(2) changes the mask of the whole
  // process, and a file another thread created in between would get 0666.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) != 0) continue;
    const unsigned long mask = std::strtoul(line.c_str() + 6, nullptr, 8);
    return static_cast<mode_t>(0666 & ~mask);
  }
  return 0600;  // no /proc: the owner alone, rather than more than the user allows
}

void WriteFileAtomically(const std::string& path, mode_t mode, const std::function<void(std::ostream&)>& writer) {
  WriteThenRename(path, mode, writer, true);
}

void CreateFileAtomically(const std::string& path, mode_t mode, const std::function<void(std::ostream&)>& writer) {
  WriteThenRename(path, mode, writer, false);
}

}  // namespace vdk
