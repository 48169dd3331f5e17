#include "library/library_merge.h"

#include <sys/stat.h>

#include "library/library_file.h"
#include "platform/file_lock.h"

namespace vdk {

int MergeIntoLibraryFile(const std::string& path, const TImageLibrary& additions, std::string* keptAs) {
  const TFileLock lock(LibraryLockPath(path));
  TImageLibrary library;
  const TLibraryFileLoad loaded = LoadLibraryFile(path, library);
  if (keptAs) *keptAs = loaded.KeptAs;
  int added = 0;
  for (int i = 0; i < additions.Count(); ++i) {
    TImageDetailPtr record = additions.Items(i);
    // A path too long for the name field never reaches the file, so it is
    // not counted as added.
    if (record->FitsRecord() && library.AddIfAbsent(std::move(record))) ++added;
  }
  if (added > 0) library.SaveToFile(path);
  return added;
}

void SaveLibraryFile(const std::string& path, TImageLibrary& library,
                     const std::unordered_set<std::string>& loadedPaths) {
  const TFileLock lock(LibraryLockPath(path));
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    TImageLibrary stored;
    stored.LoadFromFile(path);
    for (int i = 0; i < stored.Count(); ++i) {
      TImageDetailPtr record = stored.Items(i);
      if (!loadedPaths.contains(record->FileName)) library.AddIfAbsent(std::move(record));
    }
  }
  library.SaveToFile(path);
}

}  // namespace vdk
