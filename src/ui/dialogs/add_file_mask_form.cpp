#include "ui/dialogs/add_file_mask_form.h"

#include "ui_add_file_mask_form.h"

namespace vdk {

TAddFileMaskForm::TAddFileMaskForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAddFileMaskForm>()) {
  ui_->setupUi(this);
}

TAddFileMaskForm::~TAddFileMaskForm() = default;

QString TAddFileMaskForm::ExtName() const { return ui_->ExtNameEdit->text(); }

QString TAddFileMaskForm::TargetFolder() const { return ui_->TargetFolderEdit->text(); }

}  // namespace vdk
