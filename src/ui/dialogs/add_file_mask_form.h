#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAddFileMaskForm;
}

namespace vdk {

// "Add image extend name": an extension and its target folder ("Saved",
// fixed) for a new row of an extension list. Nothing typed is checked.
class TAddFileMaskForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAddFileMaskForm(QWidget* parent = nullptr);
  ~TAddFileMaskForm() override;

  QString ExtName() const;
  QString TargetFolder() const;

 private:
  std::unique_ptr<Ui::TAddFileMaskForm> ui_;
};

}  // namespace vdk
