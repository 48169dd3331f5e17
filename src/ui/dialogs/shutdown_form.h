#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <memory>

namespace Ui {
class TShutdownForm;
}

namespace vdk {

// "Shutdown computer": counts 15 seconds down and closes with OK at the end;
// "&Cancel" or Escape closes it with Cancel.
class TShutdownForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSeconds = 15;

  // tick is the length of one counted second (shorter in tests).
  explicit TShutdownForm(QWidget* parent = nullptr, std::chrono::milliseconds tick = std::chrono::seconds(1));
  ~TShutdownForm() override;

  int Count() const { return count_; }
  // One second has passed: the bar and the label move on, and the dialog
  // closes with OK at the last one.
  void TimerTimer();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  std::unique_ptr<Ui::TShutdownForm> ui_;
  QTimer timer_;
  int count_ = 0;
};

}  // namespace vdk
