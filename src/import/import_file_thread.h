#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/settings/exist_names.h"
#include "import/project_item.h"

namespace vdk {

class TProjectUpdateCtrl;

// The projects of one list to offer: every project's Exists is set, then
// cleared again for the first valid project of each name that the store does
// not know (RemoveKnown: without regard to letter case). Invalid projects are
// never offered, and a name is offered once. The result is in file order.
std::vector<TProjectItemPtr> MarkNewProjects(const TProjectItems& projects, const TExistNames& known);

// One group of the import: a project list of the index, fetched on one of the
// list thread's file threads, and the projects it offers.
// Threads: FileName is fixed; the rest is set on the main thread when the
// list has been fetched (Complete) and read there only.
class TImportFileThread {
 public:
  // What a file thread found for the group.
  struct TResult {
    std::shared_ptr<TProjectItems> Projects;  // nullptr when the list could not be had
    std::vector<TProjectItemPtr> NewItems;
  };

  explicit TImportFileThread(std::string fileName) : FileName(std::move(fileName)) {}

  const std::string FileName;

  // File thread: fetches the list and marks what is new.
  TResult Fetch(TProjectUpdateCtrl& ctrl, const TExistNames& known) const;
  // Main thread: takes the result over.
  void Complete(TResult result);

  bool Loaded() const { return loaded_; }
  // The projects fetched, or nullptr (still loading, or failed).
  const std::shared_ptr<TProjectItems>& Projects() const { return result_.Projects; }
  // The projects offered, in file order.
  const std::vector<TProjectItemPtr>& NewItems() const { return result_.NewItems; }

 private:
  bool loaded_ = false;
  TResult result_;
};

}  // namespace vdk
