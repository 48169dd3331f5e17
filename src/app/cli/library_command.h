#pragma once

#include <string>
#include <vector>

namespace vdk::cli {

// "vendrake-cli library list|verify|add PATH...".
int LibraryListCommand();
// Compares each record with its file: missing files and changed sizes.
int LibraryVerifyCommand();
// Catalogues the files given, and the files of the folders given (with their
// sub-folders).
int LibraryAddCommand(const std::vector<std::string>& paths);

}  // namespace vdk::cli
