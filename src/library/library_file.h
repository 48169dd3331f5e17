#pragma once

#include <string>

#include "library/image_library.h"

namespace vdk {

// What loading the library file found.
struct TLibraryFileLoad {
  bool Found = false;  // the file existed
  // Where a damaged file was kept; empty when the file was read or missing.
  std::string KeptAs;
};

// Loads "imglib.db" into the library. A missing file leaves it as it is. A
// file that is not a library (its signature is not the magic text: changed,
// cut off or empty) is renamed to "<path>.bad-<local time>" and the library
// starts afresh, so that the next save does not throw its records away
// unseen; KeptAs tells the caller, who warns the user. Callers that share
// the file with other processes hold its lock file (LibraryLockPath).
// Raises EFileError when the file cannot be read or kept aside.
TLibraryFileLoad LoadLibraryFile(const std::string& path, TImageLibrary& library);

// The lock file that orders the processes reading and writing a library file.
std::string LibraryLockPath(const std::string& path);

}  // namespace vdk
