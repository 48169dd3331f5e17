#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TNewFolderForm;
}

namespace vdk {

// The dialog of "New Folder": one name.
class TNewFolderForm : public QDialog {
  Q_OBJECT

 public:
  explicit TNewFolderForm(QWidget* parent = nullptr);
  ~TNewFolderForm() override;

  QString FolderName() const;
  void SetFolderName(const QString& name);

 private:
  std::unique_ptr<Ui::TNewFolderForm> ui_;
};

}  // namespace vdk
