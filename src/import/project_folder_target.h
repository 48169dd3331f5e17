#pragma once

#include <optional>
#include <string>

#include "import/project_import.h"

namespace vdk {

// The project folder on disk as the task tree shows it, for importing without
// a window: folders are captioned with their names and task files (".wrp" in
// any case) with the task name in their header, in the order the file system
// lists them, each folder's contents before its next sibling. Symbolic links
// and other special files are never followed, and the walk goes at most
// kMaxDepth folders deep.
class TProjectFolderTarget : public TImportTarget {
 public:
  static constexpr int kMaxDepth = 64;

  explicit TProjectFolderTarget(std::string projectFolder);

  std::optional<std::string> FindCategory(const std::string& category) override;
  std::string CreateCategory(const std::string& category) override;
  void TaskFileCreated(const std::string&, const std::string&, const std::string&) override {}

  // The caption of a task file: the name in its header, empty when the file
  // is too short or cannot be read.
  static std::string TaskCaption(const std::string& path);

 private:
  std::optional<std::string> FindIn(const std::string& folder, const std::string& caption, int depth) const;

  std::string root_;  // without a trailing "/"
};

}  // namespace vdk
