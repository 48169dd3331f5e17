#pragma once

#include <string>
#include <unordered_set>

#include "library/image_library.h"

namespace vdk {

// Adds the records of additions that the library file does not hold yet and
// writes the file back, under a lock file beside it, so that two programs
// cataloguing at once (the desktop window and a command-line run) never lose
// each other's records. A missing file counts as empty; a damaged one is kept
// aside as LoadLibraryFile does, its new name given in keptAs. Records whose
// path is too long for the file's name field are left out. Returns the number
// of records added; raises EFileError.
int MergeIntoLibraryFile(const std::string& path, const TImageLibrary& additions, std::string* keptAs = nullptr);

// Writes a library that a program loaded from the file and then changed
// (the desktop window at its exit), under the same lock: the records another
// program added to the file since, those whose paths were not in loadedPaths,
// are kept after the window's own; what the window removed stays removed.
// Raises EFileError or EFormatError.
void SaveLibraryFile(const std::string& path, TImageLibrary& library,
                     const std::unordered_set<std::string>& loadedPaths);

}  // namespace vdk
