#include "ui/imageview/view_image_form.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMovie>
#include <QScreen>
#include <QTransform>

#include "library/picture_reader.h"
#include "ui/common/wait_cursor.h"
#include "ui/imageview/image_view.h"
#include "ui_view_image_form.h"

namespace vdk {
namespace {

bool IsGif(const QString& path) {
  const int dot = path.lastIndexOf(QLatin1Char('.'));
  return dot >= 0 && path.mid(dot).trimmed().toLower() == QLatin1String(".gif");
}

QSize ScreenPixels(const QWidget* widget) {
  const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
  if (!screen) return {1920, 1080};
  return screen->size() * screen->devicePixelRatio();
}

}  // namespace

TViewImageForm::TViewImageForm(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TViewImageForm>()) {
  ui_->setupUi(this);
  setWindowState(Qt::WindowMaximized);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  ui_->ImageScrollBox->setPalette(black);
  ui_->GifImage->hide();

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenu"));
  const QList<QList<QAction*>> groups = {
      {ui_->TurnLeftAction, ui_->TurnRightAction},
      {ui_->ZoomAction, ui_->ZoomInAction, ui_->ZoomOutAction},
      {ui_->PrevAction, ui_->NextAction},
      {ui_->CloseAction},
  };
  for (const auto& group : groups) {
    if (!menu_->isEmpty()) menu_->addSeparator();
    menu_->addActions(group);
    addActions(group);  // the shortcuts work without the menu
  }
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](QPoint at) { menu_->popup(mapToGlobal(at)); });
  connect(ui_->TurnLeftAction, &QAction::triggered, this, &TViewImageForm::TurnLeft);
  connect(ui_->TurnRightAction, &QAction::triggered, this, &TViewImageForm::TurnRight);
  connect(ui_->ZoomAction, &QAction::triggered, this, &TViewImageForm::ToggleZoom);
  connect(ui_->ZoomInAction, &QAction::triggered, this, &TViewImageForm::ZoomIn);
  connect(ui_->ZoomOutAction, &QAction::triggered, this, &TViewImageForm::ZoomOut);
  connect(ui_->PrevAction, &QAction::triggered, this, &TViewImageForm::Prev);
  connect(ui_->NextAction, &QAction::triggered, this, &TViewImageForm::Next);
  connect(ui_->CloseAction, &QAction::triggered, this, &QDialog::reject);
}

TViewImageForm::~TViewImageForm() { StopMovie(); }

void TViewImageForm::SetFileName(const QString& fileName) { state_.SetFileName(fileName); }

void TViewImageForm::SetFileList(const QStringList& files) { state_.SetFileList(files); }

void TViewImageForm::SetFileIndex(int index) { state_.SetFileIndex(index); }

const QImage& TViewImageForm::ShownPicture() const { return ui_->ImageScrollBox->Picture(); }

void TViewImageForm::ShowCurrent() {
  if (IsGif(state_.FileName()))
    ShowGif();
  else
    ShowPicture();
}

void TViewImageForm::ShowGif() {
  StopMovie();
  ui_->ImageScrollBox->hide();
  ui_->GifImage->clear();
  ui_->GifImage->show();
  movie_ = OpenGifAnimation(state_.FileName().toStdString());
  if (!movie_) return;
  ui_->GifImage->setMovie(movie_.get());
  movie_->jumpToFrame(0);
  if (movie_->frameCount() != 1) movie_->start();
}

void TViewImageForm::ShowPicture() {
  StopMovie();
  ui_->GifImage->hide();
  ui_->ImageScrollBox->show();
  TWaitCursor wait;
  TReadOptions options;
  if (state_.Mode() == TZoomMode::FitToPage) options.Bounding = ScreenPixels(this);
  const std::string file = state_.FileName().toStdString();
  TDecodedPicture picture = ReadPicture(file, DecoderFor(file), options);
  decoded_ = std::move(picture.Image);
  original_ = picture.OriginalSize;
  ShowTurned();
}

void TViewImageForm::EnsureFullPicture() {
  if (decoded_.isNull() || decoded_.size() == original_) return;
  TWaitCursor wait;
  const std::string file = state_.FileName().toStdString();
  TDecodedPicture picture = ReadPicture(file, DecoderFor(file));
  if (picture.Image.isNull()) return;
  decoded_ = std::move(picture.Image);
  original_ = picture.OriginalSize;
}

void TViewImageForm::ShowTurned() {
  QImage shown = decoded_;
  QSize original = original_;
  if (state_.Turns() != 0 && !shown.isNull()) {
    shown = decoded_.transformed(QTransform().rotate(90.0 * state_.Turns()));
    if (state_.Turns() % 2 == 1) original.transpose();
  }
  ui_->ImageScrollBox->SetPicture(shown, original);
  ApplyZoom();
}

void TViewImageForm::ApplyZoom() {
  if (state_.Mode() == TZoomMode::Percent)
    ui_->ImageScrollBox->SetZoomPercent(state_.Zoom());
  else
    ui_->ImageScrollBox->SetZoomMode(state_.Mode());
}

void TViewImageForm::TurnLeft() {
  state_.TurnLeft();
  ShowTurned();
}

void TViewImageForm::TurnRight() {
  state_.TurnRight();
  ShowTurned();
}

void TViewImageForm::ToggleZoom() {
  state_.ToggleZoom();
  if (state_.Mode() != TZoomMode::FitToPage) EnsureFullPicture();
  ShowTurned();
}

void TViewImageForm::ZoomIn() {
  state_.ZoomIn();
  EnsureFullPicture();
  ShowTurned();
}

void TViewImageForm::ZoomOut() {
  if (!state_.ZoomOut()) return;
  EnsureFullPicture();
  ShowTurned();
}

void TViewImageForm::Prev() {
  if (state_.Prev()) ShowCurrent();
}

void TViewImageForm::Next() {
  if (state_.Next()) ShowCurrent();
}

void TViewImageForm::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (text == QLatin1String("+") || text == QLatin1String("=")) {
    ZoomIn();
    return;
  }
  if (text == QLatin1String("-")) {
    ZoomOut();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TViewImageForm::StopMovie() {
  if (!movie_) return;
  movie_->stop();
  ui_->GifImage->setMovie(nullptr);
  movie_.reset();
}

}  // namespace vdk
