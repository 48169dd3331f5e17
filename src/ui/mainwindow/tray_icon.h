#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QMenu;

namespace vdk {

// The main window's icon in the desktop's notification area: an icon with a
// hint, a left click and a pop-up menu on a right click. Made through
// MakeTrayIcon so that tests put a fake in place of the real session's
// notification area. Used on the GUI thread only.
class TTrayIcon : public QObject {
  Q_OBJECT

 public:
  // Whether the desktop shows notification-area icons at all.
  virtual bool IsAvailable() const = 0;
  virtual void Install(const QIcon& icon, const QString& hint, QMenu* menu) = 0;

 signals:
  void LeftClicked();
};

using TTrayIconFactory = std::function<std::unique_ptr<TTrayIcon>()>;

// A tray icon from the factory in place: the desktop's (QSystemTrayIcon)
// unless a test replaced it.
std::unique_ptr<TTrayIcon> MakeTrayIcon();
// Installs a factory (empty: the desktop's) and returns the one replaced.
TTrayIconFactory SetTrayIconFactory(TTrayIconFactory factory);

}  // namespace vdk
