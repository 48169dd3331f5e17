#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class TWaitForm;
}

namespace vdk {

// The wait window shown while tasks are being stopped: borderless, centred,
// not modal, a bold message above "Please wait ...". Made once at start-up.
class TWaitForm : public QWidget {
  Q_OBJECT

 public:
  explicit TWaitForm(QWidget* parent = nullptr);
  ~TWaitForm() override;

  // Puts the text in, shows the window and paints it at once (the GUI thread
  // is about to be busy).
  void ShowWaitMessage(const QString& text);
  QString Message() const;
  // How often ShowWaitMessage has shown it (for tests).
  int TimesShown() const { return timesShown_; }

 private:
  std::unique_ptr<Ui::TWaitForm> ui_;
  int timesShown_ = 0;
};

}  // namespace vdk
