#include "library/library_merge.h"

#include <sys/stat.h>

#include "platform/file_lock.h"

namespace vdk {

int MergeIntoLibraryFile(const std::string& path, const TImageLibrary& additions) {
  const TFileLock lock(path + ".lock");
  TImageLibrary library;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) library.LoadFromFile(path);
  int added = 0;
  for (int i = 0; i < additions.Count(); ++i) added += library.AddIfAbsent(additions.Items(i)) ? 1 : 0;
  if (added > 0) library.SaveToFile(path);
  return added;
}

}  // namespace vdk
