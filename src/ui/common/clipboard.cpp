#include "ui/common/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace vdk {
namespace {

class TDesktopClipboard : public TClipboard {
 public:
  QString Text() const override { return QGuiApplication::clipboard()->text(); }
  void SetText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
};

std::unique_ptr<TClipboard>& Current() {
  static std::unique_ptr<TClipboard> clipboard = std::make_unique<TDesktopClipboard>();
  return clipboard;
}

}  // namespace

TClipboard& Clipboard() { return *Current(); }

std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> clipboard) {
  std::unique_ptr<TClipboard> previous = std::move(Current());
  Current() = clipboard ? std::move(clipboard) : std::make_unique<TDesktopClipboard>();
  return previous;
}

}  // namespace vdk
