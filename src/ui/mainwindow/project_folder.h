#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vdk {

// The project folder on disk as the task tree shows it. No widgets here.

// One entry below a folder: a sub-folder, a task file or (with "Show All")
// any other file.
struct TProjectEntry {
  int Icon = 0;         // kFolderIcon, kTaskIcon or kFileIcon
  std::string Caption;  // a task's Name from its header, else the entry's name
  std::string Path;     // the folder's path joined with the entry's name
  // Why a task file cannot be used (cannot be opened, or shorter than its
  // header and options block); it is then captioned with its base name.
  std::string Problem;
  std::vector<TProjectEntry> Children;  // of a folder
};

// The contents of a folder (d ends with "/"), recursively, sorted by name
// without regard to case. Entries are classified with lstat: a symbolic link
// or a special file is never a folder or a task file (it shows as another
// file) and a link is never followed, so a loop cannot hang the scan; folders
// deeper than kMaxTreeDepth are listed but not entered. A folder that cannot
// be read lists nothing.
std::vector<TProjectEntry> ScanProjectFolder(const std::string& folder, bool showAllFiles);
inline constexpr int kMaxTreeDepth = 64;

// The caption of a task node: the Name field of the task file's header (up
// to its first NUL); a file shorter than the header reads as zeros past its
// end. Raises EFileError when the file cannot be opened.
std::string ReadTaskCaption(const std::string& path);

// The parent's path and a name joined by one "/".
std::string JoinPath(const std::string& parent, const std::string& name);

// Whether the path is a folder (not a link to one).
bool IsFolderPath(const std::string& path);
// Whether anything (a link included) exists at the path.
bool PathExists(const std::string& path);

// Deletes a folder with everything in it, as much as it can: every failure is
// handed to report ("Delete file %s failed !", "Delete directory %s
// failed !") and the deletion goes on. Links are removed, never followed.
// True when everything went.
bool DeleteFolderTree(const std::string& folder, const std::function<void(const std::string&)>& report);

// The refusal of a New Folder name, or empty when it can be used: an empty
// name, "." or "..", or a name holding "/".
std::string CheckFolderName(const std::string& name);

}  // namespace vdk
