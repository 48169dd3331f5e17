#pragma once

#include <QFrame>
#include <QString>
#include <memory>

class QLabel;
class QMovie;

namespace vdk {

class TImageView;

// The preview of one picture file: a GIF plays in its picture control at the
// top-left corner at its own size; every other picture goes into the image
// view, fitted to the panel when fitting is on and at its own size when not.
// Files that cannot be decoded leave the preview empty, without a message.
class TPicturePreview : public QFrame {
  Q_OBJECT
 public:
  explicit TPicturePreview(QWidget* parent = nullptr);
  ~TPicturePreview() override;

  void ShowFile(const QString& path);
  // Plays every picture of a file that holds several (the frames of an
  // animation, the pages of a TIFF) in the image view.
  void ShowAllPictures(const QString& path);
  void Clear();
  const QString& FileName() const { return fileName_; }

  void SetFit(bool fit);
  bool Fit() const { return fit_; }

  // The picture control that shows GIFs, and the image view.
  QLabel* GifImage() const { return gifImage_; }
  TImageView* ImageScrollBox() const { return imageView_; }
  QMovie* Movie() const { return movie_.get(); }

 private:
  void ShowGif(const QString& path);
  void ShowPicture(const QString& path);
  void StopMovie();

  QLabel* gifImage_;
  TImageView* imageView_;
  std::unique_ptr<QMovie> movie_;
  QString fileName_;
  bool fit_ = true;
};

}  // namespace vdk
