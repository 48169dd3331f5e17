#include "ui/mainwindow/about_form.h"

#include <QEvent>
#include <QUrl>

#include "ui/common/shell.h"
#include "ui/mainwindow/loading_form.h"
#include "ui/mainwindow/pictures.h"
#include "ui/mainwindow/product.h"
#include "ui_about_form.h"

namespace vdk {

void VisitWebSite() { Shell().Open(QUrl(QString::fromLatin1(kWebAddress))); }

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAboutForm>()) {
  ui_->setupUi(this);
  ui_->AboutImage->setPixmap(Picture(QStringLiteral("about")).pixmap(QSize(400, 217)));
  ui_->NoticeLabel->setText(QString::fromUtf8(kNoticeLine));
  ui_->URLLabel->setText(QString::fromLatin1(kWebAddress));
  ui_->EMAILLabel->setText(QString::fromLatin1(kSupportAddress));
  for (QLabel* link : {ui_->URLLabel, ui_->EMAILLabel}) {
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));  // navy
    link->setPalette(palette);
    link->installEventFilter(this);
  }
  for (QWidget* label : {ui_->NoticeLabel, ui_->RightsLabel, ui_->VisitLabel, ui_->URLLabel, ui_->EMAILLabel})
    SetSmallFont(label);
  connect(ui_->WebButton, &QPushButton::clicked, this, &VisitWebSite);
  setFixedSize(sizeHint().expandedTo(QSize(400, 301)));
}

TAboutForm::~TAboutForm() = default;

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == ui_->URLLabel) VisitWebSite();
    if (watched == ui_->EMAILLabel)
      Shell().Open(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kSupportAddress)));
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vdk
