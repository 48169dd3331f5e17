#include "ui/library/confirm_overwrite_form.h"

#include "ui/imageview/picture_preview.h"
#include "ui_confirm_overwrite_form.h"

namespace vdk {

TConfirmOverwriteForm::TConfirmOverwriteForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TConfirmOverwriteForm>()) {
  ui_->setupUi(this);
  connect(ui_->OverrideButton, &QPushButton::clicked, this, [this] { Choose(TOverwriteChoice::Overwrite); });
  connect(ui_->RenameButton, &QPushButton::clicked, this, [this] { Choose(TOverwriteChoice::Rename); });
  connect(ui_->SkipButton, &QPushButton::clicked, this, [this] { Choose(TOverwriteChoice::Skip); });
}

TConfirmOverwriteForm::~TConfirmOverwriteForm() = default;

void TConfirmOverwriteForm::SetSourceFile(const QString& path) {
  sourceFile_ = path;
  ui_->SourcePreview->ShowFile(path);
}

void TConfirmOverwriteForm::SetDestFile(const QString& path) {
  destFile_ = path;
  ui_->DestPreview->ShowFile(path);
}

void TConfirmOverwriteForm::SetFileNameLabel(const QString& name) { ui_->FileNameLabel->setText(name); }

bool TConfirmOverwriteForm::NoPrompt() const { return ui_->NoPromptCheck->isChecked(); }

void TConfirmOverwriteForm::Choose(TOverwriteChoice choice) {
  choice_ = choice;
  accept();
}

}  // namespace vdk
