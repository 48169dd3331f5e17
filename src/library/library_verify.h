#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "library/image_detail.h"
#include "library/item_progress.h"

namespace vdk {

// Whether a catalogued file is still there: a regular file, or a link to one.
// A folder, a special file, a dangling link or an empty path is not.
bool CataloguedFileExists(const std::string& path);

// "Verify": the positions in listed, ascending, of the records whose files
// are gone. stop is checked between records; a stopped run returns what it
// found so far. The caller takes the records out of the library
// (TImageLibrary::RemoveRecords) and out of its list.
std::vector<int> FindInvalidRecords(const std::vector<TImageDetailPtr>& listed, std::stop_token stop = {},
                                    const TItemProgress& progress = {});

}  // namespace vdk
