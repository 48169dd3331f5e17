#include "ui/dialogs/scheme_form.h"

#include "core/settings/schedule.h"
#include "ui/dialogs/enable_controls.h"
#include "ui_scheme_form.h"

namespace vdk {

TSchemeForm::TSchemeForm(QWidget* parent, TClock clock)
    : QDialog(parent), ui_(std::make_unique<Ui::TSchemeForm>()), clock_(std::move(clock)) {
  ui_->setupUi(this);
  nowTimer_.setInterval(1000);
  connect(&nowTimer_, &QTimer::timeout, this, &TSchemeForm::ShowNow);
  connect(ui_->StartOnNowCheckBox, &QCheckBox::toggled, this, &TSchemeForm::UpdateStartOnNow);
  UpdateStartOnNow();
}

TSchemeForm::~TSchemeForm() = default;

void TSchemeForm::Fill(const TRegScheme& scheme, const QString& typeName) {
  ui_->SchemeTypeLabel->setText(typeName);
  ui_->UnitLabel->setText(QString::fromStdString(UnitWordOfName(typeName.toStdString())));
  ui_->CountSpinBox->setValue(scheme.SchemeCount);
  ui_->DateEdit->setText(QString::fromStdString(FormatShortDate(scheme.SchemeStartDate)));
  ui_->TimeEdit->setText(QString::fromStdString(FormatLongTime(scheme.SchemeStartTime)));
  ui_->StartOnNowCheckBox->setChecked(DatePart(scheme.SchemeStartDate) == 0);
  UpdateStartOnNow();
}

void TSchemeForm::Store(TRegScheme& scheme) const {
  scheme.SchemeCount = ui_->CountSpinBox->value();
  scheme.SchemeStartDate = ParseShortDate(ui_->DateEdit->text().toStdString()).value_or(0.0);
  scheme.SchemeStartTime = ParseLongTime(ui_->TimeEdit->text().toStdString()).value_or(0.0);
}

void TSchemeForm::ShowNow() {
  if (!ui_->StartOnNowCheckBox->isChecked()) return;
  const TDateTime now = clock_();
  ui_->TimeEdit->setText(QString::fromStdString(FormatLongTime(now)));
  ui_->DateEdit->setText(QString::fromStdString(FormatShortDate(now)));
}

void TSchemeForm::UpdateStartOnNow() {
  const bool onNow = ui_->StartOnNowCheckBox->isChecked();
  EnableControls({ui_->TimeLabel, ui_->TimeEdit, ui_->DateLabel, ui_->DateEdit}, !onNow);
  if (onNow) {
    ShowNow();
    nowTimer_.start();
  } else {
    nowTimer_.stop();
  }
}

}  // namespace vdk
