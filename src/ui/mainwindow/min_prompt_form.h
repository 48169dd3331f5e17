#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TShowMinPromptForm;
}

namespace vdk {

// The prompt shown when closing the window sends it to the notification
// area; "&OK" and Escape close it.
class TShowMinPromptForm : public QDialog {
  Q_OBJECT

 public:
  explicit TShowMinPromptForm(QWidget* parent = nullptr);
  ~TShowMinPromptForm() override;

  // "Don't show this window on next time".
  bool DoNotShowAgain() const;
  void SetDoNotShowAgain(bool on);

 private:
  std::unique_ptr<Ui::TShowMinPromptForm> ui_;
};

}  // namespace vdk
