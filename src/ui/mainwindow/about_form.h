#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutForm;
}

namespace vdk {

// The About box: our picture, the notice line, the web address and the
// support address; "&Go web" and the address open the web site, the mail
// address a new message, through the desktop's shell.
class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);
  ~TAboutForm() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::TAboutForm> ui_;
};

// Opens the web site in the default browser.
void VisitWebSite();

}  // namespace vdk
