#include "ui/import/import_from_internet.h"

#include "core/settings/exist_names.h"
#include "core/settings/reg_settings.h"
#include "ui/common/dialog_runner.h"
#include "ui/common/message_boxes.h"
#include "ui/common/wait_cursor.h"
#include "ui/import/import_projects_form.h"

namespace vdk {

void ImportFromInternet(QWidget* parent, TRegSettings& settings, TImportTarget& tree) {
  TImportProjectsForm form(*settings.Registry, settings.ProjectServer, parent);
  if (RunDialog(form) != QDialog::Accepted) return;
  // The projects stay alive through the import; the dialog, and with it
  // every import thread, goes afterwards.
  ImportChosenProjects(parent, form.ChosenProjects(), settings, tree);
}

int ImportChosenProjects(QWidget* parent, const std::vector<TProjectItemPtr>& projects, TRegSettings& settings,
                         TImportTarget& tree) {
  QString skipped;
  TProjectImporter importer(tree, settings.Options);
  {
    const TWaitCursor wait;
    for (const auto& project : projects) {
      const TImportOutcome outcome = importer.ImportProject(*project);
      if (outcome.Status != TImportStatus::Imported)
        skipped += QStringLiteral("\n%1: %2")
                       .arg(QString::fromStdString(project->Name), QString::fromStdString(outcome.Message));
    }
    try {
      TExistNames names(*settings.Registry);
      importer.SaveNames(names);
    } catch (const EVendrakeError& e) {
      ShowError(parent, QStringLiteral("Cannot remember the imported projects: %1").arg(QString::fromUtf8(e.what())));
    }
  }
  if (!skipped.isEmpty()) ShowInformation(parent, QStringLiteral("These projects were not imported:") + skipped);
  return static_cast<int>(importer.ImportedNames().size());
}

}  // namespace vdk
