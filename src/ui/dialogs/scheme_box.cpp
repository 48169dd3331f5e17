#include "ui/dialogs/scheme_box.h"

#include "core/settings/schedule.h"
#include "ui/common/dialog_runner.h"
#include "ui/dialogs/scheme_form.h"
#include "ui_scheme_box.h"

namespace vdk {

TSchemeBox::TSchemeBox(QWidget* parent) : QGroupBox(parent), ui_(std::make_unique<Ui::TSchemeBox>()) {
  ui_->setupUi(this);
  connect(ui_->SchemeTypeComboBox, &QComboBox::currentIndexChanged, this, &TSchemeBox::TypeChanged);
  connect(ui_->ChangeButton, &QPushButton::clicked, this, &TSchemeBox::Change);
}

TSchemeBox::~TSchemeBox() = default;

void TSchemeBox::Fill(const TRegScheme& scheme) {
  schedule_ = scheme;
  // A type the list does not know (a damaged file) shows as "None".
  const int index = scheme.SchemeType < ui_->SchemeTypeComboBox->count() ? scheme.SchemeType : 0;
  const QSignalBlocker quiet(ui_->SchemeTypeComboBox);
  ui_->SchemeTypeComboBox->setCurrentIndex(index);
}

void TSchemeBox::TypeChanged() {
  const int index = ui_->SchemeTypeComboBox->currentIndex();
  schedule_.SchemeType = static_cast<std::uint8_t>(index < 0 ? 0 : index);
  ui_->ChangeButton->setEnabled(schedule_.SchemeType != 0);
  ui_->SchemeDescriptionEdit->setPlainText(QString::fromStdString(Description(schedule_)));
}

void TSchemeBox::Change() {
  TSchemeForm form(this);
  form.Fill(schedule_, ui_->SchemeTypeComboBox->currentText());
  if (RunDialog(form) != QDialog::Accepted) return;
  form.Store(schedule_);
  ui_->SchemeDescriptionEdit->setPlainText(QString::fromStdString(Description(schedule_)));
}

}  // namespace vdk
