#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;
class QPalette;

namespace vdk {

class TJpegBrowser;

// Where a picture of pictureSize lands in a cell of cellSize with a border
// of the given width: scaled into the area inside the border, keeping its
// proportions, the longer side filling the area and the shorter one centred
// (rounded half to even). An empty rectangle for an empty picture.
QRect ThumbnailRect(QSize cellSize, int border, QSize pictureSize);

// One cell of the thumbnail browser: a lightweight item the browser lays out
// and paints, showing the thumbnail of Files()[Index()] once it is loaded.
// A cell whose file could not be decoded stays an empty frame.
class TJpegPanel {
 public:
  static constexpr int kDefaultBorder = 10;

  TJpegPanel(TJpegBrowser* browser, int index, QString filename, QRect geometry);

  TJpegBrowser* Browser() const { return browser_; }
  int Index() const { return index_; }
  const QString& Filename() const { return filename_; }
  // In the browser's content coordinates.
  QRect Geometry() const { return geometry_; }

  bool Selected() const { return selected_; }
  void SetSelected(bool selected);
  int PicBorderWidth() const { return border_; }
  void SetPicBorderWidth(int width);

  bool Loaded() const { return loaded_; }
  // The thumbnail (null until loaded, or when the file could not be decoded)
  // and the size of the picture it was made from.
  const QImage& Picture() const { return picture_; }
  QSize PictureSize() const { return pictureSize_; }
  // The loader's result for this cell.
  void SetPicture(const QImage& thumbnail, QSize pictureSize);

  // Paints the cell at its place; the painter's origin is the content's.
  void Paint(QPainter& painter, const QPalette& palette) const;

 private:
  void Repaint() const;

  TJpegBrowser* browser_;
  int index_;
  QString filename_;
  QRect geometry_;
  bool selected_ = false;
  int border_ = kDefaultBorder;
  bool loaded_ = false;
  QImage picture_;
  QSize pictureSize_;
};

}  // namespace vdk
