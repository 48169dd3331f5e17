#pragma once

#include <memory>

class QDialog;

namespace vdk {

// Shows the program's modal dialogs. Every window that opens a modal dialog
// of its own runs it through RunDialog, so a test can put a stand-in here that
// fills the dialog and answers it without a modal loop. Used on the GUI
// thread only.
class TDialogRunner {
 public:
  virtual ~TDialogRunner() = default;
  // Shows the dialog modally; returns its result (QDialog::Accepted or
  // QDialog::Rejected).
  virtual int Run(QDialog& dialog) = 0;
};

TDialogRunner& DialogRunner();
// Puts a runner in place of the current one (null: the real one) and returns
// the runner it replaced, so a test can restore it.
std::unique_ptr<TDialogRunner> SetDialogRunner(std::unique_ptr<TDialogRunner> runner);

// DialogRunner().Run(dialog).
int RunDialog(QDialog& dialog);

}  // namespace vdk
