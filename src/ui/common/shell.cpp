#include "ui/common/shell.h"

#include <QDesktopServices>

namespace vdk {
namespace {

class TDesktopShell : public TShell {
 public:
  bool Open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

std::unique_ptr<TShell>& Current() {
  static std::unique_ptr<TShell> shell = std::make_unique<TDesktopShell>();
  return shell;
}

}  // namespace

TShell& Shell() { return *Current(); }

std::unique_ptr<TShell> SetShell(std::unique_ptr<TShell> shell) {
  std::unique_ptr<TShell> previous = std::move(Current());
  Current() = shell ? std::move(shell) : std::make_unique<TDesktopShell>();
  return previous;
}

}  // namespace vdk
