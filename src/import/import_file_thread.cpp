#include "import/import_file_thread.h"

#include <unordered_set>

#include "import/project_rules.h"
#include "import/project_update_ctrl.h"

namespace vdk {

std::vector<TProjectItemPtr> MarkNewProjects(const TProjectItems& projects, const TExistNames& known) {
  std::vector<TProjectItemPtr> valid;
  std::vector<std::string> names;
  for (const TProjectItemPtr& project : projects) {
    project->Exists = true;
    if (!IsImportable(*project)) continue;
    valid.push_back(project);
    names.push_back(project->Name);
  }
  known.RemoveKnown(names);
  const std::unordered_set<std::string> remaining(names.begin(), names.end());
  // The first valid project of each remaining name, in file order.
  std::vector<TProjectItemPtr> offered;
  std::unordered_set<std::string> seen;
  for (const TProjectItemPtr& project : valid) {
    if (!remaining.contains(project->Name) || !seen.insert(project->Name).second) continue;
    project->Exists = false;
    offered.push_back(project);
  }
  return offered;
}

TImportFileThread::TResult TImportFileThread::Fetch(TProjectUpdateCtrl& ctrl, const TExistNames& known) const {
  TResult result;
  result.Projects = ctrl.GetProjectList(FileName);
  if (result.Projects) result.NewItems = MarkNewProjects(*result.Projects, known);
  return result;
}

void TImportFileThread::Complete(TResult result) {
  result_ = std::move(result);
  loaded_ = true;
}

}  // namespace vdk
