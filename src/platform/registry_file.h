#pragma once

#include <sys/types.h>

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/memory_registry.h"

namespace vdk {

// The settings store in one text file ("registry.reg", see reg_text.h), safe
// for several processes of the same user at once.
//
// Reads come from a copy in memory, read again at OpenKey whenever the file
// has been replaced since. Changes go to that copy and into a journal; Flush
// takes an exclusive lock between processes, reads the file afresh, applies
// the journal to it and replaces the file atomically, so values another
// process wrote in the meantime are kept: only the keys and values changed
// here are touched. Changes that are never flushed are lost with the object.
//
// A file that cannot be read as a store is kept as "<file>.bad-<local time
// YYYYMMDD-HHMMSS>" and the store starts empty.
// Threads: one object per thread; objects exclude each other through the lock.
class TRegistryFile : public TMemoryRegistry {
 public:
  explicit TRegistryFile(std::string path) : path_(std::move(path)) {}

  bool OpenKey(std::string_view key, bool canCreate) override;
  // Raises EFileError when the folder, the lock or the file cannot be made.
  void Flush() override;

  const std::string& Path() const { return path_; }
  // Where a damaged file was kept when this object read the store; empty
  // when it found none.
  const std::string& KeptAs() const { return keptAs_; }

 protected:
  void Change(const TRegChange& change) override;

 private:
  // Identifies one version of the file; a replaced file has a new inode.
  struct FileStamp {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec Modified{};
    bool operator==(const FileStamp& other) const;
  };

  static FileStamp StampOf(const std::string& path);
  // The stored tree. An unreadable file is set aside, under the lock
  // (taken here unless locked says the caller holds it).
  TRegTree ReadStore(bool locked);
  void SetAside();
  std::string LockPath() const { return path_ + ".lock"; }

  std::string path_;
  std::string keptAs_;
  std::vector<TRegChange> journal_;
  std::optional<FileStamp> stamp_;  // of the file tree_ was read from; none before the first read
};

// The current user's store: "registry.reg" in VendrakeConfigFolder().
std::unique_ptr<TRegistry> OpenUserRegistry();

}  // namespace vdk
