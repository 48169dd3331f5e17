#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vdk {

// One row of a task's downloaded-files list.
struct TSavedFile {
  std::string Caption;   // the entry's name with its extension
  std::string Ext;       // the extension with its dot, spelled as on disk
  std::string SizeText;  // bytes div 1024 followed by " KB"
  std::string Path;      // folder + name
};

// "N KB" for a size in bytes (integer division by 1024).
std::string KilobyteText(std::int64_t bytes);

// The number before the last three characters of a size text (" KB"); 0 when
// that part is not a decimal number.
std::int64_t KilobytesOf(std::string_view sizeText);

// Every entry of the folder in the order the file system returns it, except
// "." and ".." and files still being downloaded (an extension holding
// "!!wr"). Sub-folders, links and special files are listed too; entries are
// examined with lstat, so a link is never followed and a FIFO never opened.
// A folder's size is 0. A folder that cannot be read lists nothing.
std::vector<TSavedFile> ListSavedFolder(const std::string& folder);

}  // namespace vdk
