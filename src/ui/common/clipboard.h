#pragma once

#include <QString>
#include <memory>

namespace vdk {

// The desktop's clipboard text. Reached through Clipboard() so that tests
// put a fake in its place instead of reading or changing the user's
// clipboard. Used on the GUI thread only.
class TClipboard {
 public:
  virtual ~TClipboard() = default;
  virtual QString Text() const = 0;
  virtual void SetText(const QString& text) = 0;
};

TClipboard& Clipboard();
// Puts a clipboard in place of the current one (null: the desktop's) and
// returns the one it replaced, so a test can restore it.
std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> clipboard);

}  // namespace vdk
