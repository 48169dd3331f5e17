#pragma once

#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <string>

#include "core/reg_options.h"
#include "core/task_item_list.h"
#include "core/uri.h"

namespace vdk {

// A task: its options, its start URL and the ranked work list that grows
// while it runs.
// Threads: the main thread owns the fields; workers read Options and URL
// (never changed while the task runs), use Items through its own lock and
// add to SavedCount atomically.
class TTask {
  // Declared first: Items holds a reference to it.
  std::mutex scanLock_;

 public:
  static constexpr std::size_t kHeaderSize = 5140;
  static constexpr std::size_t kItemsOffset = kHeaderSize + TRegOptions::kBlockSize;  // 536660

  TTask();
  TTask(const TTask&) = delete;
  TTask& operator=(const TTask&) = delete;

  TRegOptions Options;
  TTaskItemList Items{scanLock_};
  std::string Note;
  TIdURI URL;
  std::string Name = "<noname>";
  std::string TaskID;
  std::string FileName;
  bool Stopped = true;
  bool Stopping = false;
  bool Displayed = false;
  std::int32_t FinishedCount = 0;
  std::atomic<std::int32_t> SavedCount{0};

  // Writes the task file through a temporary file in the same folder that
  // replaces the old one only once complete; created with mode 0600 since it
  // may hold a password. FileName is not changed.
  void SaveToFile(const std::string& path) const;
  // Sets FileName and reads the file. Raises EFileError when it cannot be
  // opened and EFormatError when its header or options block is cut short.
  void LoadFromFile(const std::string& path);

  void SaveToStream(std::ostream& out) const;
  // Item lines whose URL is empty or cannot be requested are skipped. A task
  // read from a stream is stopped, whatever its stored state says.
  void LoadFromStream(std::istream& in);
};

// A new GUID in its 38-character text form with braces.
std::string NewGUID();

}  // namespace vdk
