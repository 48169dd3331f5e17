#pragma once

#include <QString>
#include <vector>

#include "import/project_import.h"
#include "import/project_item.h"

class QWidget;

namespace vdk {

class TRegSettings;

// What the main window's "&Import from Internet" action does
// (TasksImportActionExecute): shows the import dialog and, on "&OK", imports
// what was chosen into the task tree through tree.
void ImportFromInternet(QWidget* parent, TRegSettings& settings, TImportTarget& tree);

// The import step once the dialog ended with "&OK": each project in order
// becomes a task through tree, the names of the task files written are
// remembered in the store, and when some projects could not be imported one
// "Information" box says which and why. Returns how many were imported.
int ImportChosenProjects(QWidget* parent, const std::vector<TProjectItemPtr>& projects, TRegSettings& settings,
                         TImportTarget& tree);

}  // namespace vdk
