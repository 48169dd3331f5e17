#include "ui/mainwindow/min_prompt_form.h"

#include "ui/mainwindow/pictures.h"
#include "ui_min_prompt_form.h"

namespace vdk {

TShowMinPromptForm::TShowMinPromptForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TShowMinPromptForm>()) {
  ui_->setupUi(this);
  QFont bold = ui_->TitleLabel->font();
  bold.setBold(true);
  ui_->TitleLabel->setFont(bold);
  ui_->TrayImage->setPixmap(Picture(QStringLiteral("tray-panel")).pixmap(QSize(200, 40)));
  setFixedSize(sizeHint());
}

TShowMinPromptForm::~TShowMinPromptForm() = default;

bool TShowMinPromptForm::DoNotShowAgain() const { return ui_->ShowNextCheck->isChecked(); }
void TShowMinPromptForm::SetDoNotShowAgain(bool on) { ui_->ShowNextCheck->setChecked(on); }

}  // namespace vdk
