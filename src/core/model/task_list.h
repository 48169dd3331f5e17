#pragma once

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "core/model/task.h"

namespace vdk {

// The tasks the main window has opened since the program started, in the
// order added. Threads: guarded by its own re-entrant lock.
class TTaskList {
 public:
  int Add(std::shared_ptr<TTask> task);
  void Clear();
  int Count() const;
  std::shared_ptr<TTask> Items(int index) const;

  // Displayed := false on every task, before the views go to another one.
  void ClearDisplayed();
  // Tasks whose run is in progress (Stopped is false).
  int RunningCount() const;
  int IndexOfID(std::string_view id) const;
  int IndexOfFileName(std::string_view fileName) const;

 private:
  template <typename Pred>
  int IndexWhere(Pred pred) const;

  mutable std::recursive_mutex lock_;
  std::vector<std::shared_ptr<TTask>> tasks_;
};

}  // namespace vdk
