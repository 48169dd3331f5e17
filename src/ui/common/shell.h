#pragma once

#include <QUrl>
#include <memory>

namespace vdk {

// Opens web addresses, mail links and folders in the desktop's own programs.
// Reached through Shell() so that tests record the calls instead of starting
// a browser or a file manager. Used on the GUI thread only.
class TShell {
 public:
  virtual ~TShell() = default;
  virtual bool Open(const QUrl& url) = 0;
};

TShell& Shell();
// Puts a shell in place of the current one (null: the desktop's) and returns
// the one it replaced, so a test can restore it.
std::unique_ptr<TShell> SetShell(std::unique_ptr<TShell> shell);

}  // namespace vdk
