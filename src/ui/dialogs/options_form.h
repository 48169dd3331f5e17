#pragma once

#include <QDialog>
#include <memory>

#include "core/model/reg_options.h"

namespace Ui {
class TOptionForm;
}

namespace vdk {

// "Default options": the options new tasks start from and the settings that
// exist only globally (shutdown, proxy, log and project folders). The caller
// fills it from the default options and stores it back on OK.
class TOptionForm : public QDialog {
  Q_OBJECT

 public:
  explicit TOptionForm(QWidget* parent = nullptr);
  ~TOptionForm() override;

  void Fill(const TRegOptions& options);
  // Every field but DefaultTaskAdded and the login fields, which the dialog
  // does not show.
  void Store(TRegOptions& options) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OKClicked();
  void UpdateProxyControls();

  std::unique_ptr<Ui::TOptionForm> ui_;
};

// The "Options" command: the dialog on the default options, which change (in
// memory only) when it is confirmed; the default proxy follows them. Returns
// true when the options were confirmed.
bool EditDefaultOptions(QWidget* parent, TRegOptions& defaults);

}  // namespace vdk
