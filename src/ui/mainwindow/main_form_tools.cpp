#include "ui/mainwindow/main_form_tools.h"

#include "core/base/path_utils.h"
#include "core/model/task.h"
#include "ui/imageview/images_panel.h"
#include "ui/import/import_from_internet.h"
#include "ui/library/delete_by_run.h"
#include "ui/library/library_windows.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/task_tree_import_target.h"

namespace vdk {
namespace {

void Import(TMainForm& form) {
  TTaskTreeImportTarget tree(form);
  ImportFromInternet(&form, form.Settings(), tree);
}

void Collect(TMainForm& form) {
  if (const std::shared_ptr<TTask> task = form.SelectedTask())
    ShowCollectTool(&form, form.Library(), task->Options.DefaultFolder);
}

void Library(TMainForm& form) {
  ShowLibraryWindow(&form, form.Library());
  // The window may have deleted listed files: the list shows the folder as
  // it is now.
  form.UpdateActions();
}

void DeleteBy(TMainForm& form) {
  const std::shared_ptr<TTask> task = form.SelectedTask();
  const std::string savedFolder = task ? AddSlash(task->Options.DefaultFolder) + "Saved/" : std::string();
  TImagesPanel* panel = form.ImagesPanel();
  panel->RemoveFiles(DeleteByExecute(&form, form.Library(), panel->Rows(), savedFolder));
}

}  // namespace

TMainFormHooks MainFormTools() {
  return {.Import = Import, .Collect = Collect, .Library = Library, .DeleteBy = DeleteBy};
}

}  // namespace vdk
