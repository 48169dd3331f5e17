#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAddFileForm;
}

namespace vdk {

// "Add filename": one file name for a new row of an exclude list. Nothing
// typed is checked.
class TAddFileForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAddFileForm(QWidget* parent = nullptr);
  ~TAddFileForm() override;

  QString FileName() const;

 private:
  std::unique_ptr<Ui::TAddFileForm> ui_;
};

}  // namespace vdk
