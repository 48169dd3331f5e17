#pragma once

#include <string>

#include "core/base/path_utils.h"

namespace vdk {

// Downloads in progress are written under the final name followed by this.
inline constexpr std::string_view kPartialSuffix = "!!wr";

// Reserves the final name and creates its partial file (as ReserveUniqueFile)
// and records it as owned by this process until Release. The file is also
// locked (flock), so a clean-up in another process leaves it alone.
ReservedFile CreatePartialFile(const std::string& wantedPath);
// Forgets a partial file once it has been closed, renamed or deleted.
void ReleasePartialFile(const std::string& temporaryPath);

// Deletes the files of a folder whose names end in the partial suffix and
// that no worker owns: not recorded by this process and not locked by
// another. Errors are ignored.
void DeleteLeftoverPartials(const std::string& folder);

}  // namespace vdk
