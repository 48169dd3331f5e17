#include "ui/mainwindow/tip_form.h"

#include <QPushButton>

#include "ui/mainwindow/pictures.h"
#include "ui_tip_form.h"

namespace vdk {

const QStringList& Tips() {
  static const QStringList tips = {
      QStringLiteral("Right click the link which is you want in IE browser, and select \"Download Images by "
                     "Vendrake\", you may download images from the link quickly."),
      QStringLiteral("Double click image file can view image in full screen mode."),
      QStringLiteral("Press Ctrl + I or Ctrl + O key can rotate image."),
      QStringLiteral("Press Ctrl + J or Ctrl + K key can zoom in or zoom out image, press Ctrl + Z can change to "
                     "normal size."),
      QStringLiteral("Select a task and select image->folder menu item can open the image folder quickly."),
      QStringLiteral("Select Image->Delete by... menu item can delete small image quickly"),
      QStringLiteral("If you can not view whole image on image viewer, you can try to click \"zoom\" button."),
  };
  return tips;
}

int WrapTipIndex(int i, int count) { return i < 0 || i >= count ? 0 : i; }

TTipForm::TTipForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TTipForm>()) {
  ui_->setupUi(this);
  QFont heading = ui_->HeadingLabel->font();
  heading.setBold(true);
  heading.setPointSizeF(heading.pointSizeF() * 1.3);
  ui_->HeadingLabel->setFont(heading);
  QPalette strip = ui_->BulbImage->palette();
  strip.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  ui_->BulbImage->setPalette(strip);
  ui_->BulbImage->setPixmap(Picture(QStringLiteral("bulb")).pixmap(QSize(40, 56)));
  QPalette memo = ui_->TipMemo->palette();
  memo.setColor(QPalette::Base, palette().color(QPalette::Window));
  ui_->TipMemo->setPalette(memo);
  connect(ui_->NextTipButton, &QPushButton::clicked, this, [this] { ShowTipAt(currentTip_ + 1); });
  connect(ui_->CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

TTipForm::~TTipForm() = default;

void TTipForm::ShowTipAt(int i) {
  currentTip_ = WrapTipIndex(i, static_cast<int>(Tips().size()));
  ui_->TipMemo->clear();
  ui_->TipMemo->setPlainText(Tips().at(currentTip_));
}

bool TTipForm::DoNotShow() const { return ui_->ShowTipCheckBox->isChecked(); }
void TTipForm::SetDoNotShow(bool on) { ui_->ShowTipCheckBox->setChecked(on); }

}  // namespace vdk
