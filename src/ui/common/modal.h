#pragma once

#include <functional>

class QDialog;

namespace vdk {

// Every modal dialog of the program is run through ExecModal, so that a test
// can put a script in place of the modal loop: the script gets the dialog,
// sets its controls as a user would, and returns the dialog's result. Used on
// the GUI thread only.
using TModalRunner = std::function<int(QDialog& dialog)>;

// Runs the dialog modally (QDialog::exec) unless a runner is installed.
int ExecModal(QDialog& dialog);
// Installs a runner (empty: the real modal loop) and returns the one replaced.
TModalRunner SetModalRunner(TModalRunner runner);

}  // namespace vdk
