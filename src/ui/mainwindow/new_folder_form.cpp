#include "ui/mainwindow/new_folder_form.h"

#include "ui_new_folder_form.h"

namespace vdk {

TNewFolderForm::TNewFolderForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TNewFolderForm>()) {
  ui_->setupUi(this);
}

TNewFolderForm::~TNewFolderForm() = default;

QString TNewFolderForm::FolderName() const { return ui_->FolderEdit->text(); }
void TNewFolderForm::SetFolderName(const QString& name) { ui_->FolderEdit->setText(name); }

}  // namespace vdk
