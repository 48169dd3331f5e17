#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/saved_files.h"

namespace vdk {

class TImageLibrary;

// The criteria of "Delete by ...".
enum class TDeleteByCriterion { ImageSize, SmallThan, Range, FileFilter };

// What the delete-by dialog ended with; the texts are its edits' texts, a
// text that is not a number counting as 0.
struct TDeleteByChoice {
  TDeleteByCriterion Criterion = TDeleteByCriterion::ImageSize;
  int Width = 300;  // "Image size": width and height both below these
  int Height = 300;
  std::string SmallThan = "10";   // "Small than": at most this many KB
  std::string SmallRange = "10";  // "Range": between these KB, both included
  std::string BigRange = "20";
  std::string Filter = "*.gif";  // "File filter": a name pattern with * and ?
};

// True for a bare file-name pattern: no "/", "\", ":" or "..", so that the
// filter can never reach outside the task's "Saved" folder.
bool IsBareNamePattern(std::string_view pattern);

// The files the choice picks, as full paths:
// - "Image size": rows whose path the library knows with a record whose width
//   and height are both below the values (-1 x -1 records included);
// - "Small than" and "Range": rows by the kilobytes their size text shows;
// - "File filter": the entries of savedFolder (empty: no task selected,
//   nothing picked) whose names match the pattern without regard to case,
//   except files still being downloaded; a pattern that is not a bare name
//   pattern picks nothing.
// Only regular files are picked, never a folder, a link or a special file.
std::vector<std::string> DeleteByCandidates(const TDeleteByChoice& choice, const std::vector<TSavedFile>& rows,
                                            const TImageLibrary& library, const std::string& savedFolder);

}  // namespace vdk
