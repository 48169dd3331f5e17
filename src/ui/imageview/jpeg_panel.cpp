#include "ui/imageview/jpeg_panel.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QPalette>

#include <cmath>

#include "ui/imageview/jpeg_browser.h"

namespace vdk {
namespace {

// Round to the nearest integer, halves to even.
int RoundEven(double value) { return int(std::nearbyint(value)); }

}  // namespace

QRect ThumbnailRect(QSize cellSize, int border, QSize pictureSize) {
  if (pictureSize.isEmpty()) return {};
  const int w = pictureSize.width(), h = pictureSize.height();
  const int areaW = cellSize.width() - 2 * border, areaH = cellSize.height() - 2 * border;
  int drawnW, drawnH, x = 0, y = 0;
  if (w > h) {
    drawnW = areaW;
    drawnH = RoundEven(h / (double(w) / areaW));
    y = (cellSize.height() - drawnH - 2 * border) / 2;
  } else {
    drawnH = areaH;
    drawnW = RoundEven(w / (double(h) / areaH));
    x = (cellSize.width() - drawnW - 2 * border) / 2;
  }
  return QRect(QPoint(border + x, border + y), QPoint(border + drawnW - 1 + x, border + drawnH - 1 + y));
}

TJpegPanel::TJpegPanel(TJpegBrowser* browser, int index, QString filename, QRect geometry)
    : browser_(browser), index_(index), filename_(std::move(filename)), geometry_(geometry) {}

void TJpegPanel::SetSelected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  Repaint();
}

void TJpegPanel::SetPicBorderWidth(int width) {
  if (border_ == width) return;
  border_ = width;
  Repaint();
}

void TJpegPanel::SetPicture(const QImage& thumbnail, QSize pictureSize) {
  picture_ = thumbnail;
  pictureSize_ = pictureSize;
  loaded_ = true;
  Repaint();
}

void TJpegPanel::Repaint() const {
  if (browser_) browser_->RepaintPanel(this);
}

void TJpegPanel::Paint(QPainter& painter, const QPalette& palette) const {
  painter.save();
  painter.translate(geometry_.topLeft());
  const QRect frame(0, 0, geometry_.width(), geometry_.height());
  painter.setPen(palette.color(QPalette::WindowText));
  painter.setBrush(selected_ ? palette.color(QPalette::Highlight) : palette.color(QPalette::Button));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  qDrawShadePanel(&painter, frame, palette, false, 1);
  const int inset = border_ - 1;
  qDrawShadePanel(&painter, frame.adjusted(inset, inset, -inset, -inset), palette, true, 1);
  if (loaded_ && !picture_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(ThumbnailRect(frame.size(), border_, pictureSize_), picture_);
  }
  painter.restore();
}

}  // namespace vdk
