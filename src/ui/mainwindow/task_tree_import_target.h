#pragma once

#include <optional>
#include <string>

#include "import/project_import.h"

class QTreeWidgetItem;

namespace vdk {

class TMainForm;

// The main window's task tree as the place imported projects go: categories
// are found among the tree's nodes in tree order, new category folders are
// made under the root, and every task file written gets its node at once.
// GUI thread only.
class TTaskTreeImportTarget : public TImportTarget {
 public:
  explicit TTaskTreeImportTarget(TMainForm& form) : form_(form) {}

  std::optional<std::string> FindCategory(const std::string& category) override;
  std::string CreateCategory(const std::string& category) override;
  void TaskFileCreated(const std::string& folder, const std::string& name, const std::string& path) override;

 private:
  QTreeWidgetItem* FolderNode(const std::string& folder) const;

  TMainForm& form_;
};

}  // namespace vdk
