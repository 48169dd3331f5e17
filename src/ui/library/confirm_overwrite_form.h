#pragma once

#include <QDialog>
#include <memory>

#include "library/file_transfer.h"

namespace Ui {
class TConfirmOverwriteForm;
}

namespace vdk {

// "Override file": a file of the same name is already at the destination.
// Shows both pictures side by side and asks whether to overwrite it, copy
// under a new name or skip the file, and whether to ask again during this
// run. Closing the window without a button means Skip, so nothing is
// overwritten that the user did not choose to overwrite.
class TConfirmOverwriteForm : public QDialog {
  Q_OBJECT
 public:
  explicit TConfirmOverwriteForm(QWidget* parent = nullptr);
  ~TConfirmOverwriteForm() override;

  // Store the path and preview that side.
  void SetSourceFile(const QString& path);
  void SetDestFile(const QString& path);
  // The file name shown between "File" and the question.
  void SetFileNameLabel(const QString& name);

  const QString& SourceFile() const { return sourceFile_; }
  const QString& DestFile() const { return destFile_; }
  TOverwriteChoice Choice() const { return choice_; }
  bool NoPrompt() const;
  TOverwriteAnswer Answer() const { return {choice_, NoPrompt()}; }

 private:
  void Choose(TOverwriteChoice choice);

  std::unique_ptr<Ui::TConfirmOverwriteForm> ui_;
  QString sourceFile_;
  QString destFile_;
  TOverwriteChoice choice_ = TOverwriteChoice::Skip;
};

}  // namespace vdk
