#pragma once

#include <sys/types.h>
#include <functional>
#include <iosfwd>
#include <string>

namespace vdk {

// The mode a new file gets from the process's umask (0666 & ~umask), read
// without changing the umask.
mode_t DefaultFileMode();

// Writes a file so that a crash, a full disk or a failing writer leaves either
// the old file or the complete new one: the writer fills a temporary file in
// the same folder, which is flushed to disk and renamed over the path. On any
// failure the temporary file is removed and EFileError (or the writer's own
// exception) reaches the caller.
void WriteFileAtomically(const std::string& path, mode_t mode, const std::function<void(std::ostream&)>& writer);
// The same for a new file: the final rename never replaces a file that
// exists by then, which fails with EFileError (error code EEXIST).
void CreateFileAtomically(const std::string& path, mode_t mode, const std::function<void(std::ostream&)>& writer);

}  // namespace vdk
