#pragma once

#include <memory>
#include <string>

namespace vdk {

class TImportFileThread;

// What the import threads show: the dialog's tree, or the command line's
// listing. Every call runs on the main thread.
class TImportView {
 public:
  virtual ~TImportView() = default;

  // The index is being fetched.
  virtual void IndexLoading() = 0;
  // A group for one list of the index, in index order; its projects are
  // still loading.
  virtual void GroupAdded(const std::shared_ptr<TImportFileThread>& group) = 0;
  // The group's list has been fetched (or could not be): its NewItems are
  // the projects to offer.
  virtual void GroupLoaded(const TImportFileThread& group) = 0;
  // The index is done: every group it names has been added. failure is empty,
  // or tells why the index could not be fetched (then there are no groups).
  virtual void IndexLoaded(const std::string& failure) = 0;
};

}  // namespace vdk
