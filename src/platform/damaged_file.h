#pragma once

#include <string>

namespace vdk {

// Renames a file that cannot be read as what it should be to
// "<path>.bad-<local time YYYYMMDD-HHMMSS>" ("-1", "-2", ... appended when
// that name is taken), so that nothing of it is lost when a fresh file takes
// its place. Returns the new path; raises EFileError when the rename fails.
std::string KeepDamagedFile(const std::string& path);

}  // namespace vdk
