#include "ui/dialogs/shutdown_form.h"

#include "ui_shutdown_form.h"

namespace vdk {

TShutdownForm::TShutdownForm(QWidget* parent, std::chrono::milliseconds tick)
    : QDialog(parent), ui_(std::make_unique<Ui::TShutdownForm>()) {
  ui_->setupUi(this);
  timer_.setInterval(tick);
  connect(&timer_, &QTimer::timeout, this, &TShutdownForm::TimerTimer);
}

TShutdownForm::~TShutdownForm() = default;

void TShutdownForm::TimerTimer() {
  if (count_ >= kSeconds) return;
  ++count_;
  ui_->ProgressBar->setValue(count_);
  ui_->CountLabel->setText(QStringLiteral("Auto shutdown computer in %1 second(s)").arg(kSeconds - count_));
  if (count_ == kSeconds) accept();
}

void TShutdownForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  timer_.start();
}

void TShutdownForm::hideEvent(QHideEvent* event) {
  timer_.stop();
  QDialog::hideEvent(event);
}

}  // namespace vdk
