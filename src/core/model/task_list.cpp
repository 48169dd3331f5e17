#include "core/model/task_list.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vdk {

int TTaskList::Add(std::shared_ptr<TTask> task) {
  std::lock_guard guard(lock_);
  tasks_.push_back(std::move(task));
  return static_cast<int>(tasks_.size()) - 1;
}

void TTaskList::Clear() {
  std::lock_guard guard(lock_);
  tasks_.clear();
}

int TTaskList::Count() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(tasks_.size());
}

std::shared_ptr<TTask> TTaskList::Items(int index) const {
  std::lock_guard guard(lock_);
  if (index < 0 || static_cast<std::size_t>(index) >= tasks_.size())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return tasks_[static_cast<std::size_t>(index)];
}

void TTaskList::ClearDisplayed() {
  std::lock_guard guard(lock_);
  for (const auto& task : tasks_) task->Displayed = false;
}

int TTaskList::RunningCount() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(std::count_if(tasks_.begin(), tasks_.end(), [](const auto& t) { return !t->Stopped(); }));
}

template <typename Pred>
int TTaskList::IndexWhere(Pred pred) const {
  std::lock_guard guard(lock_);
  const auto it = std::find_if(tasks_.begin(), tasks_.end(), pred);
  return it == tasks_.end() ? -1 : static_cast<int>(it - tasks_.begin());
}

int TTaskList::IndexOfID(std::string_view id) const {
  return IndexWhere([id](const auto& t) { return t->TaskID == id; });
}

int TTaskList::IndexOfFileName(std::string_view fileName) const {
  return IndexWhere([fileName](const auto& t) { return t->FileName == fileName; });
}

}  // namespace vdk
