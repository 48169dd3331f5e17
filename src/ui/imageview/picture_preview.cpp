#include "ui/imageview/picture_preview.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMovie>
#include <QScreen>

#include "library/picture_reader.h"
#include "ui/common/wait_cursor.h"
#include "ui/imageview/image_view.h"

namespace vdk {
namespace {

bool IsGif(const QString& path) {
  const int dot = path.lastIndexOf(QLatin1Char('.'));
  return dot >= 0 && path.mid(dot).trimmed().toLower() == QLatin1String(".gif");
}

// Fitted pictures are decoded no larger than the screen, so a big photo
// never takes its full memory and a resized panel needs no second decode.
QSize ScreenBounds() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {1920, 1080};
  return screen->size() * screen->devicePixelRatio();
}

}  // namespace

TPicturePreview::TPicturePreview(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  imageView_ = new TImageView(this);
  imageView_->setObjectName(QStringLiteral("ImageScrollBox"));
  gifImage_ = new QLabel(this);
  gifImage_->setObjectName(QStringLiteral("GifImage"));
  gifImage_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  gifImage_->hide();
  layout->addWidget(imageView_, 0, 0);
  layout->addWidget(gifImage_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
}

TPicturePreview::~TPicturePreview() { StopMovie(); }

void TPicturePreview::ShowFile(const QString& path) {
  fileName_ = path;
  if (IsGif(path))
    ShowGif(path);
  else
    ShowPicture(path);
}

void TPicturePreview::ShowAllPictures(const QString& path) {
  fileName_ = path;
  StopMovie();
  gifImage_->hide();
  imageView_->show();
  imageView_->Clear();
  imageView_->SetZoomMode(fit_ ? TZoomMode::FitToPage : TZoomMode::OriginalSize);
  TWaitCursor wait;
  movie_ = OpenAllPictures(path.toStdString());
  if (!movie_) return;
  connect(movie_.get(), &QMovie::frameChanged, imageView_, [this] { imageView_->SetPicture(movie_->currentImage()); });
  movie_->start();
}

void TPicturePreview::Clear() {
  fileName_.clear();
  StopMovie();
  gifImage_->hide();
  imageView_->show();
  imageView_->Clear();
}

void TPicturePreview::SetFit(bool fit) {
  if (fit_ == fit) return;
  fit_ = fit;
  imageView_->SetZoomMode(fit ? TZoomMode::FitToPage : TZoomMode::OriginalSize);
  // A picture decoded for fitting is too small to be shown at its own size.
  const bool reduced = imageView_->Picture().size() != imageView_->OriginalSize();
  if (!fit && reduced && !fileName_.isEmpty() && !IsGif(fileName_)) ShowPicture(fileName_);
}

void TPicturePreview::ShowGif(const QString& path) {
  StopMovie();
  imageView_->hide();
  imageView_->Clear();
  gifImage_->clear();
  gifImage_->show();
  movie_ = OpenGifAnimation(path.toStdString());
  if (!movie_) return;
  gifImage_->setMovie(movie_.get());
  movie_->jumpToFrame(0);
  gifImage_->adjustSize();
  if (movie_->frameCount() != 1) movie_->start();
}

void TPicturePreview::ShowPicture(const QString& path) {
  StopMovie();
  gifImage_->hide();
  imageView_->show();
  imageView_->SetZoomMode(fit_ ? TZoomMode::FitToPage : TZoomMode::OriginalSize);
  TWaitCursor wait;
  TReadOptions options;
  if (fit_) options.Bounding = ScreenBounds();
  const std::string file = path.toStdString();
  const TDecodedPicture picture = ReadPicture(file, DecoderFor(file), options);
  imageView_->SetPicture(picture.Image, picture.OriginalSize);
}

void TPicturePreview::StopMovie() {
  if (!movie_) return;
  movie_->stop();
  gifImage_->setMovie(nullptr);
  movie_.reset();
}

}  // namespace vdk
