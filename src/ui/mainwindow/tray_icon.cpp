#include "ui/mainwindow/tray_icon.h"

#include <QSystemTrayIcon>

namespace vdk {
namespace {

class TSystemTrayIcon : public TTrayIcon {
 public:
  TSystemTrayIcon() {
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger) emit LeftClicked();
    });
  }
  bool IsAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
  void Install(const QIcon& icon, const QString& hint, QMenu* menu) override {
    icon_.setIcon(icon);
    icon_.setToolTip(hint);
    icon_.setContextMenu(menu);
    icon_.show();
  }

 private:
  QSystemTrayIcon icon_;
};

TTrayIconFactory& Factory() {
  static TTrayIconFactory factory;
  return factory;
}

}  // namespace

std::unique_ptr<TTrayIcon> MakeTrayIcon() { return Factory() ? Factory()() : std::make_unique<TSystemTrayIcon>(); }

TTrayIconFactory SetTrayIconFactory(TTrayIconFactory factory) {
  TTrayIconFactory previous = std::move(Factory());
  Factory() = std::move(factory);
  return previous;
}

}  // namespace vdk
