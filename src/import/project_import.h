#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/reg_options.h"
#include "core/settings/exist_names.h"
#include "import/project_item.h"

namespace vdk {

// Where imported tasks go: the window's task tree, or the project folder on
// disk for the command line. Paths are folders without a trailing "/".
class TImportTarget {
 public:
  virtual ~TImportTarget() = default;

  // The folder of the first node of the tree, in tree order, whose caption
  // equals category exactly: a folder node's own path, or the folder a task
  // node's file lies in. nullopt when no node has that caption.
  virtual std::optional<std::string> FindCategory(const std::string& category) = 0;
  // Creates the category folder under the root (an existing folder is used
  // as it is) with its node, and returns its path.
  virtual std::string CreateCategory(const std::string& category) = 0;
  // A task file has been written into folder: the tree shows it.
  virtual void TaskFileCreated(const std::string& folder, const std::string& name, const std::string& path) = 0;
};

enum class TImportStatus {
  Imported,
  Exists,   // a task file of that name is in the category folder already
  Refused,  // the project's name, category or URL is not acceptable
  Failed,   // a folder or the file could not be made
};

struct TImportOutcome {
  TImportStatus Status = TImportStatus::Failed;
  std::string TaskFile;  // the task file written, or the one in the way
  std::string Message;   // why it was not imported
};

// Turns chosen projects into task files, and remembers the names of those
// that were written. A project whose task file exists is skipped and not
// remembered; nothing is written outside the project folder and the download
// folder, whatever the project server sent.
class TProjectImporter {
 public:
  // defaults: the default options (ProjectPath, DefaultFolder, FileMasks).
  TProjectImporter(TImportTarget& target, const TRegOptions& defaults);

  // Files one project under its category: into the folder of the first node
  // captioned with the category, or a new category folder under the root.
  TImportOutcome ImportProject(const TProjectItem& project);

  // The names of the projects whose task file was written, in import order.
  const std::vector<std::string>& ImportedNames() const { return imported_; }
  // Records ImportedNames in the store, so that they are not offered again.
  void SaveNames(TExistNames& names) const { names.Save(imported_); }

 private:
  std::string CategoryFolder(const std::string& category);

  TImportTarget& target_;
  const TRegOptions& defaults_;
  std::vector<std::string> imported_;
};

}  // namespace vdk
