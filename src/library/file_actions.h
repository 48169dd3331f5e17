#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "library/item_progress.h"

namespace vdk {

// File actions on downloaded pictures that never lose a file.

// Removes one directory entry: a regular file, or a symbolic link itself
// (never what it points to). Folders and special files (FIFOs, sockets,
// devices) are refused, so nothing ever deletes a folder's contents. Returns
// 0 or the errno of the refusal (EISDIR, EPERM) or of the failed unlink.
int DeleteFileEntry(const std::string& path);

// Deletes the paths one after the other as DeleteFileEntry does, checking
// stop between files; a failed delete is passed over. Returns the positions
// of the paths that were deleted, ascending.
std::vector<int> DeleteFileEntries(const std::vector<std::string>& paths, std::stop_token stop = {},
                                   const TItemProgress& progress = {});

// What happened to one file of a copy or a move.
enum class TTransferStatus {
  Done,       // the file is at Target (and, for a move, gone from the source)
  Skipped,    // the user chose to leave it alone
  SameFile,   // the destination is the source itself (same device and inode)
  Cancelled,  // stop was requested; nothing was left at the destination
  Failed,     // Error says why; the source is untouched
};

struct TTransferResult {
  TTransferStatus Status = TTransferStatus::Failed;
  std::string Target;
  int Error = 0;
};

// Whether an existing file at the target may be replaced.
enum class TReplace { Never, Allowed };

// Copies the contents of a regular file (a link to one is followed) to
// target: the bytes go to a temporary file in the target's folder, which is
// flushed and renamed into place, so the target is either untouched or the
// complete copy. With TReplace::Never an existing target fails with EEXIST.
// The permission bits and times of the source are kept. A target that is the
// source itself gives SameFile and changes nothing. stop is checked between
// blocks; a cancelled or failed copy removes its temporary file.
TTransferResult CopyFileTo(const std::string& source, const std::string& target, TReplace replace,
                           std::stop_token stop = {});

// Moves a regular file (or a link itself) to target: a rename within one
// file system; across file systems a complete copy as CopyFileTo makes,
// after which the source is removed. A source that cannot be removed after
// the copy is reported as Failed with both files kept.
TTransferResult MoveFileTo(const std::string& source, const std::string& target, TReplace replace,
                           std::stop_token stop = {});

}  // namespace vdk
