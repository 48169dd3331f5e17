#include "ui/imageview/ext_icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace vdk {
namespace {

// The two sort arrows: a triangle pointing up (ascending) or down.
QIcon Arrow(bool up) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::darkGray);
  const QPolygon triangle = up ? QPolygon({QPoint(3, 11), QPoint(13, 11), QPoint(8, 4)})
                               : QPolygon({QPoint(3, 5), QPoint(13, 5), QPoint(8, 12)});
  painter.drawPolygon(triangle);
  return QIcon(pixmap);
}

}  // namespace

TExtIcons::TExtIcons()
    : extensions_{QStringLiteral("Cursor"), QStringLiteral("Cursor")}, icons_{Arrow(true), Arrow(false)} {}

int TExtIcons::IndexFor(const QString& ext, const QString& path) {
  for (int i = 2; i < extensions_.size(); ++i)
    if (extensions_.at(i).compare(ext, Qt::CaseInsensitive) == 0) return i;
  icons_.push_back(provider_.icon(QFileInfo(path)));
  extensions_ << ext;
  return int(extensions_.size()) - 1;
}

QIcon TExtIcons::Icon(int index) const {
  if (index < 0 || index >= int(icons_.size())) return {};
  return icons_[index];
}

}  // namespace vdk
