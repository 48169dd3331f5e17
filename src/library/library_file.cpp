#include "library/library_file.h"

#include <sys/stat.h>

#include "platform/damaged_file.h"

namespace vdk {

TLibraryFileLoad LoadLibraryFile(const std::string& path, TImageLibrary& library) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};
  if (library.LoadFromFile(path)) return {true, {}};
  return {true, KeepDamagedFile(path)};
}

std::string LibraryLockPath(const std::string& path) { return path + ".lock"; }

}  // namespace vdk
