#include "ui/mainwindow/pictures.h"

#include <QFile>

// The resources of a static library are registered by hand, once.
static void RegisterPictures() { Q_INIT_RESOURCE(mainwindow_pictures); }

namespace vdk {
namespace {

void EnsureRegistered() {
  static const bool registered = (RegisterPictures(), true);
  (void)registered;
}

}  // namespace

QString PicturePath(const QString& name) {
  EnsureRegistered();
  return QStringLiteral(":/pictures/") + name + QStringLiteral(".svg");
}

QIcon Picture(const QString& name) { return QIcon(PicturePath(name)); }

QIcon ThemeIcon(const QString& name) {
  if (name.isEmpty()) return {};
  const QString bundled = PicturePath(name);
  if (!QFile::exists(bundled)) return QIcon::fromTheme(name);
  return QIcon::fromTheme(name, QIcon(bundled));
}

}  // namespace vdk
