#pragma once

#include <cstdint>
#include <stop_token>
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
// A folder's size is 0. A folder that cannot be read lists nothing. A stop
// ends the listing between two entries (what was listed is returned).
std::vector<TSavedFile> ListSavedFolder(const std::string& folder, std::stop_token stop = {});

// What a folder's entries were at one moment: the folder's identity and the
// times its entries last changed. A listing taken after a settled stamp
// still holds when the folder's stamp is the same later: no entry was added,
// removed or renamed in between. A stamp is settled when the folder's last
// modification is at least a second old, so that a change made right after
// it, within the file system's clock step, cannot carry the same time. (A file rewritten in
// place changes no stamp.)
struct TFolderStamp {
  bool Exists = false;
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Modified = 0;  // nanoseconds
  std::int64_t Changed = 0;   // nanoseconds
  bool Settled = false;
  // The entries are still those of this stamp, taken earlier.
  bool Holds(const TFolderStamp& now) const;
};
TFolderStamp StampFolder(const std::string& folder);

}  // namespace vdk
