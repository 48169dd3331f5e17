#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include "ui/imageview/zoom.h"

namespace vdk {

// A picture on a page: fitted to the page, at its original size or at a
// percentage, centred when it is smaller than the page. A picture larger
// than the page is moved by dragging it (there are no scroll bars). The
// picture may have been decoded smaller than the original it stands for;
// the zoom works on the original's size.
class TImageView : public QWidget {
  Q_OBJECT
 public:
  explicit TImageView(QWidget* parent = nullptr);

  // Shows the picture as a picture of originalSize pixels (its own size when
  // not given).
  void SetPicture(const QImage& picture, QSize originalSize = {});
  void Clear();
  const QImage& Picture() const { return picture_; }
  QSize OriginalSize() const { return original_; }
  bool IsEmpty() const { return picture_.isNull(); }

  void SetZoomMode(TZoomMode mode);
  TZoomMode ZoomMode() const { return mode_; }
  // Switches to the percent mode at that percentage.
  void SetZoomPercent(int percent);
  int ZoomPercent() const { return percent_; }
  // The factor the original is drawn at on the current page.
  double Factor() const;
  // Where the picture lands on the page.
  QRect PictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Changed();
  QPoint ClampedPan(QPoint pan) const;

  QImage picture_;
  QSize original_;
  TZoomMode mode_ = TZoomMode::FitToPage;
  int percent_ = 100;
  QPoint pan_;  // offset of a picture larger than the page from its centred place
  QPoint dragStart_;
  QImage scaled_;  // the picture drawn at the current size, when reduced
};

}  // namespace vdk
