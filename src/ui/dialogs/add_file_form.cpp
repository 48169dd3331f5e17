#include "ui/dialogs/add_file_form.h"

#include "ui_add_file_form.h"

namespace vdk {

TAddFileForm::TAddFileForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAddFileForm>()) {
  ui_->setupUi(this);
}

TAddFileForm::~TAddFileForm() = default;

QString TAddFileForm::FileName() const { return ui_->FileNameEdit->text(); }

}  // namespace vdk
