#include "ui/mainwindow/loading_form.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

#include "ui/mainwindow/pictures.h"
#include "ui/mainwindow/product.h"
#include "ui_loading_form.h"

namespace vdk {

void SetSmallFont(QWidget* widget) {
  QFont font = widget->font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  widget->setFont(font);
}

TLoadingForm::TLoadingForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TLoadingForm>()) {
  ui_->setupUi(this);
  setAttribute(Qt::WA_DeleteOnClose);
  ui_->LoadingImage->setPixmap(Picture(QStringLiteral("splash")).pixmap(QSize(400, 225)));
  ui_->NoticeLabel->setText(QString::fromUtf8(kNoticeLine));
  ui_->AddressLabel->setText(QString::fromLatin1(kWebAddress) + QStringLiteral("   ") +
                             QString::fromLatin1(kSupportAddress));
  for (QWidget* label : {ui_->NoticeLabel, ui_->RightsLabel, ui_->VisitLabel, ui_->AddressLabel}) SetSmallFont(label);
  ui_->LoadingImage->installEventFilter(this);
  setFixedSize(sizeHint().expandedTo(QSize(400, 307)));
  timer_.setSingleShot(true);
  timer_.setInterval(kShowMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &QWidget::close);
}

TLoadingForm::~TLoadingForm() = default;

void TLoadingForm::ShowNow() {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  timer_.start();
}

bool TLoadingForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->LoadingImage && event->type() == QEvent::MouseButtonRelease) close();
  return QWidget::eventFilter(watched, event);
}

}  // namespace vdk
