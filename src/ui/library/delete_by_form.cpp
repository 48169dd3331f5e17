#include "ui/library/delete_by_form.h"

#include <QButtonGroup>

#include "ui/common/message_boxes.h"
#include "ui_delete_by_form.h"

namespace vdk {

TDeleteByForm::TDeleteByForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TDeleteByForm>()) {
  ui_->setupUi(this);
  // The criteria sit in three groups but exclude each other.
  auto* criteria = new QButtonGroup(this);
  for (QRadioButton* button : {ui_->ImageSizeButton, ui_->SmallThanButton, ui_->RangeButton, ui_->FileFilterButton}) {
    criteria->addButton(button);
    connect(button, &QRadioButton::toggled, this, &TDeleteByForm::CriterionChanged);
  }
  connect(ui_->OKButton, &QPushButton::clicked, this, &TDeleteByForm::accept);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &TDeleteByForm::reject);
  CriterionChanged();
}

TDeleteByForm::~TDeleteByForm() = default;

void TDeleteByForm::CriterionChanged() {
  const bool imageSize = ui_->ImageSizeButton->isChecked();
  ui_->WidthEdit->setEnabled(imageSize);
  ui_->HeightEdit->setEnabled(imageSize);
  ui_->SizeEdit->setEnabled(ui_->SmallThanButton->isChecked());
  ui_->SmallRangeEdit->setEnabled(ui_->RangeButton->isChecked());
  ui_->BigRangeEdit->setEnabled(ui_->RangeButton->isChecked());
  ui_->FilterEdit->setEnabled(ui_->FileFilterButton->isChecked());
}

TDeleteByChoice TDeleteByForm::Choice() const {
  TDeleteByChoice choice;
  if (ui_->SmallThanButton->isChecked()) choice.Criterion = TDeleteByCriterion::SmallThan;
  if (ui_->RangeButton->isChecked()) choice.Criterion = TDeleteByCriterion::Range;
  if (ui_->FileFilterButton->isChecked()) choice.Criterion = TDeleteByCriterion::FileFilter;
  choice.Width = ui_->WidthEdit->value();
  choice.Height = ui_->HeightEdit->value();
  choice.SmallThan = ui_->SizeEdit->text().toStdString();
  choice.SmallRange = ui_->SmallRangeEdit->text().toStdString();
  choice.BigRange = ui_->BigRangeEdit->text().toStdString();
  choice.Filter = ui_->FilterEdit->text().toStdString();
  return choice;
}

void TDeleteByForm::accept() {
  if (ui_->FileFilterButton->isChecked() && !IsBareNamePattern(ui_->FilterEdit->text().toStdString())) {
    ShowError(this, QStringLiteral("The file filter must be a file name pattern such as *.gif, without a folder, "
                                   "\"..\" or \":\"."));
    ui_->FilterEdit->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace vdk
