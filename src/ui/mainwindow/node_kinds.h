#pragma once

namespace vdk {

// The icon index of a task-tree node, which also tells what the node stands
// for. A folder node shows icon 5 and, while selected, icon 1.
enum TNodeIcon : int {
  kRootIcon = 0,         // "All Tasks", the project folder
  kOpenFolderIcon = 1,   // a folder, as its selected icon
  kFileIcon = 2,         // any other file (only while "Show All" is on)
  kRunningTaskIcon = 3,  // a task that is running
  kTaskIcon = 4,         // a task that is not running
  kFolderIcon = 5,       // a folder
};

inline bool IsTaskNode(int icon) { return icon == kRunningTaskIcon || icon == kTaskIcon; }
inline bool IsFolderNode(int icon) { return icon == kRootIcon || icon == kOpenFolderIcon || icon == kFolderIcon; }

}  // namespace vdk
