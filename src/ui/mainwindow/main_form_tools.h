#pragma once

#include "ui/mainwindow/main_form_hooks.h"

namespace vdk {

// The program's windows behind the main window's "&Import from Internet",
// "Collect", "Library" and "Delete By ..." actions: the import dialog filing
// projects in the task tree, the collect tool on the selected task's save
// folder, the library window, and the delete-by tool over the
// downloaded-files panel. The program sets them with TMainForm::SetHooks.
TMainFormHooks MainFormTools();

}  // namespace vdk
