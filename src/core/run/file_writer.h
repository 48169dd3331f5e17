#pragma once

#include <cstddef>

namespace vdk {

// Writes the body of a download to its open file. Workers write through the
// task's writer when it has one and straight to the file otherwise; tests
// put in one that fails as a full disk does.
class TFileWriter {
 public:
  virtual ~TFileWriter() = default;
  // Writes every byte: 0, or the errno of the write that failed.
  virtual int Write(int fd, const char* data, std::size_t size) = 0;
};

// Writes every byte to the file, going on after interrupted writes: 0, or
// the errno of the write that failed.
int WriteAll(int fd, const char* data, std::size_t size);

// A failed write that means the file system has no room left for anything
// (ENOSPC, EDQUOT), as against one that only this file cannot take.
bool IsNoRoom(int err);

}  // namespace vdk
