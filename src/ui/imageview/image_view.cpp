#include "ui/imageview/image_view.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vdk {

TImageView::TImageView(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImageView::SetPicture(const QImage& picture, QSize originalSize) {
  picture_ = picture;
  original_ = originalSize.isValid() ? originalSize : picture.size();
  pan_ = {};
  Changed();
}

void TImageView::Clear() { SetPicture(QImage()); }

void TImageView::SetZoomMode(TZoomMode mode) {
  mode_ = mode;
  Changed();
}

void TImageView::SetZoomPercent(int percent) {
  percent_ = percent;
  mode_ = TZoomMode::Percent;
  Changed();
}

double TImageView::Factor() const { return ZoomFactor(mode_, percent_, original_, size()); }

QRect TImageView::PictureRect() const {
  if (picture_.isNull()) return {};
  const QSize shown(std::max(1, int(std::lround(original_.width() * Factor()))),
                    std::max(1, int(std::lround(original_.height() * Factor()))));
  const QPoint centred((width() - shown.width()) / 2, (height() - shown.height()) / 2);
  return QRect(centred + ClampedPan(pan_), shown);
}

QPoint TImageView::ClampedPan(QPoint pan) const {
  const QSize shown(int(original_.width() * Factor()), int(original_.height() * Factor()));
  const int spareX = std::max(0, (shown.width() - width()) / 2);
  const int spareY = std::max(0, (shown.height() - height()) / 2);
  return {std::clamp(pan.x(), -spareX, spareX), std::clamp(pan.y(), -spareY, spareY)};
}

void TImageView::Changed() {
  scaled_ = QImage();
  update();
}

void TImageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (picture_.isNull()) return;
  const QRect target = PictureRect();
  if (target.size() == picture_.size()) {
    painter.drawImage(target.topLeft(), picture_);
    return;
  }
  // A reduced picture is scaled once for its size, not at every paint.
  if (target.width() < picture_.width()) {
    if (scaled_.size() != target.size())
      scaled_ = picture_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(target.topLeft(), scaled_);
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, picture_);
}

void TImageView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  pan_ = ClampedPan(pan_);
}

void TImageView::mousePressEvent(QMouseEvent* event) {
  dragStart_ = event->position().toPoint() - pan_;
  QWidget::mousePressEvent(event);
}

void TImageView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) {
    pan_ = ClampedPan(event->position().toPoint() - dragStart_);
    update();
  }
  QWidget::mouseMoveEvent(event);
}

}  // namespace vdk
