#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

#include "library/file_actions.h"

namespace vdk {

// The answers of the overwrite confirmation, in its stored order.
enum class TOverwriteChoice : std::uint8_t { Overwrite = 0, Rename = 1, Skip = 2 };

struct TOverwriteAnswer {
  TOverwriteChoice Choice = TOverwriteChoice::Skip;
  bool NoPrompt = false;  // "Do not prompt me on next time"
};

// Asked when a file of the same name is already at the destination.
using TOverwriteAsker = std::function<TOverwriteAnswer(const std::string& source, const std::string& target)>;

enum class TTransferKind { Copy, Move };

// One run of Copy to, Move to or the collect tool's copy into one folder.
// A clash with an existing file is put to the asker until it answers with
// NoPrompt; from then on its last choice holds for the rest of the run
// without a question. Rename takes the first free "base[N].ext" name, Skip
// leaves the file alone, Overwrite replaces the existing file. A destination
// that is the source itself is never asked about and never written.
//
// Threads: one run is used by one thread; the asker is called on that thread.
class TFileTransfer {
 public:
  TFileTransfer(TTransferKind kind, std::string destFolder, TOverwriteAsker ask);

  // Copies or moves one file into the destination folder under its own name.
  TTransferResult Transfer(const std::string& source, std::stop_token stop = {});

 private:
  const TTransferKind kind_;
  const std::string destFolder_;
  const TOverwriteAsker ask_;
  bool prompt_ = true;
  TOverwriteChoice choice_ = TOverwriteChoice::Rename;
};

}  // namespace vdk
