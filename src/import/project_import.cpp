#include "import/project_import.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "core/model/task_factory.h"
#include "import/project_rules.h"

namespace vdk {
namespace {

// Whether path, with every link resolved, is folder or lies below it. A path
// that cannot be resolved is not inside.
bool IsInside(const std::string& path, const std::string& folder) {
  std::error_code ec;
  const auto root = std::filesystem::canonical(folder, ec);
  if (ec) return false;
  const auto resolved = std::filesystem::weakly_canonical(path, ec);
  if (ec) return false;
  const auto [rootEnd, _] = std::mismatch(root.begin(), root.end(), resolved.begin(), resolved.end());
  return rootEnd == root.end();
}

constexpr const char* kExistsText = "a task file of this name exists already";

TImportOutcome Outcome(TImportStatus status, std::string taskFile, std::string message) {
  return {status, std::move(taskFile), std::move(message)};
}

}  // namespace

TProjectImporter::TProjectImporter(TImportTarget& target, const TRegOptions& defaults)
    : target_(target), defaults_(defaults) {}

std::string TProjectImporter::CategoryFolder(const std::string& category) {
  if (auto found = target_.FindCategory(category)) return *found;
  return target_.CreateCategory(category);
}

TImportOutcome TProjectImporter::ImportProject(const TProjectItem& project) {
  if (!IsImportable(project)) return Outcome(TImportStatus::Refused, "", "not a valid project");
  const std::string folder = CategoryFolder(project.Category);
  const std::string taskFile = TaskFilePath(folder, project.Name);
  if (!IsInside(taskFile, defaults_.ProjectPath))
    return Outcome(TImportStatus::Refused, taskFile, "the category folder is outside the project folder");
  const std::string saveFolder = AddSlash(defaults_.DefaultFolder) + project.Name;
  if (!IsInside(saveFolder, defaults_.DefaultFolder))
    return Outcome(TImportStatus::Refused, taskFile, "the save folder is outside the download folder");
  struct stat st;
  if (::lstat(taskFile.c_str(), &st) == 0) return Outcome(TImportStatus::Exists, taskFile, kExistsText);
  try {
    CreateTaskFile(project.Name, project.URL, defaults_, folder);
  } catch (const EFileError& e) {
    // Another program made the file since the look above.
    if (e.ErrorCode() == EEXIST) return Outcome(TImportStatus::Exists, taskFile, kExistsText);
    return Outcome(TImportStatus::Failed, taskFile, e.what());
  } catch (const EVendrakeError& e) {
    return Outcome(TImportStatus::Failed, taskFile, e.what());
  }
  imported_.push_back(project.Name);
  target_.TaskFileCreated(folder, project.Name, taskFile);
  return Outcome(TImportStatus::Imported, taskFile, "");
}

}  // namespace vdk
