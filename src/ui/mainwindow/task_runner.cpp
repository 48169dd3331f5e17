#include "ui/mainwindow/task_runner.h"

#include <algorithm>
#include <exception>

#include "core/base/errors.h"
#include "core/model/task.h"
#include "core/run/views.h"

namespace vdk {
namespace {

// Whether path is the deleted path itself or lies in the deleted folder.
bool IsUnder(const std::string& path, const std::string& deleted) {
  if (path == deleted) return true;
  const std::string folder = deleted.ends_with('/') ? deleted : deleted + "/";
  return path.starts_with(folder);
}

}  // namespace

TTaskRunner::TTaskRunner(TTaskBinding binding) : binding_(std::move(binding)) {}

TTaskRunner::~TTaskRunner() {
  for (int i = Tasks.Count() - 1; i >= 0; --i) {
    const std::shared_ptr<TTask> task = Tasks.Items(i);
    if (!task->Stopped()) task->Stop();
    task->ItemsView = nullptr;
    task->LogView = nullptr;
    task->ImagesView = nullptr;
    task->ImageQueue = nullptr;
    task->OnFinished = nullptr;
  }
}

void TTaskRunner::Bind(TTask& task) const {
  task.Synchronizer = binding_.Synchronizer;
  task.ItemsView = binding_.ItemsView;
  task.LogView = binding_.LogView;
  task.ImagesView = binding_.ImagesView;
  task.ImageQueue = binding_.ImageQueue;
  task.OnFinished = binding_.OnFinished;
}

int TTaskRunner::IndexOfLive(const std::function<bool(const TTask&)>& pred) const {
  for (int i = 0; i < Tasks.Count(); ++i) {
    const std::shared_ptr<TTask> task = Tasks.Items(i);
    if (!IsDeleted(*task) && pred(*task)) return i;
  }
  return -1;
}

std::shared_ptr<TTask> TTaskRunner::TaskOfPath(const std::string& path) {
  if (std::find(loaded_.begin(), loaded_.end(), path) != loaded_.end()) {
    const int index = IndexOfLive([&path](const TTask& t) { return t.FileName == path; });
    return index < 0 ? nullptr : Tasks.Items(index);
  }
  auto task = std::make_shared<TTask>();
  Bind(*task);
  task->LoadFromFile(path);
  const int same = IndexOfLive([&task](const TTask& t) { return t.TaskID == task->TaskID; });
  if (same >= 0) return Tasks.Items(same);
  Tasks.Add(task);
  loaded_.push_back(path);
  return task;
}

void TTaskRunner::ForgetDeleted(const std::string& path) {
  for (int i = 0; i < Tasks.Count(); ++i) {
    const std::shared_ptr<TTask> task = Tasks.Items(i);
    if (IsDeleted(*task) || !IsUnder(task->FileName, path)) continue;
    if (!task->Stopped()) task->Stop();
    Release(*task);
    deleted_.insert(task.get());
    slots_.Forget(task->TaskID);
  }
  std::erase_if(loaded_, [&path](const std::string& loaded) { return IsUnder(loaded, path); });
}

void TTaskRunner::SetImagesView(TImagesView* view) {
  binding_.ImagesView = view;
  for (int i = 0; i < Tasks.Count(); ++i) Tasks.Items(i)->ImagesView = view;
}

std::vector<std::pair<std::shared_ptr<TTask>, TScheduledStart>> TTaskRunner::DueTasks(TDateTime now) {
  std::vector<std::pair<std::shared_ptr<TTask>, TScheduledStart>> due;
  for (int i = 0; i < Tasks.Count(); ++i) {
    std::shared_ptr<TTask> task = Tasks.Items(i);
    if (IsDeleted(*task) || !task->Stopped() || task->Options.Scheme.SchemeType == 0) continue;
    const bool pending = task->Items.Count() == 0 || task->Items.WaitingCount() > 0;
    const TScheduledStart start = slots_.Decide(task->TaskID, task->Options.Scheme, now, false, pending);
    if (start != TScheduledStart::None) due.emplace_back(std::move(task), start);
  }
  return due;
}

void TTaskRunner::ScheduleChanged(const TTask& task) { slots_.Forget(task.TaskID); }

void TTaskRunner::StopAll() {
  std::exception_ptr failure;
  for (int i = Tasks.Count() - 1; i >= 0; --i) {
    const std::shared_ptr<TTask> task = Tasks.Items(i);
    if (task->Stopped()) continue;
    task->Stop();
    if (IsDeleted(*task)) continue;
    try {
      task->SaveToFile(task->FileName);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
    Release(*task);
  }
  if (failure) std::rethrow_exception(failure);
}

bool TTaskRunner::Hold(const TTask& task) {
  if (holds_.count(&task) != 0 || task.FileName.empty()) return true;
  std::unique_ptr<TTaskFileLock> lock = TTaskFileLock::TryLock(task.FileName);
  if (!lock) return false;
  holds_.emplace(&task, THold{std::move(lock), TCheckpoint()});
  return true;
}

void TTaskRunner::Release(const TTask& task) { holds_.erase(&task); }

std::shared_ptr<void> TTaskRunner::TakeHold(const TTask& task) {
  const auto hold = holds_.find(&task);
  if (hold == holds_.end()) return nullptr;
  std::shared_ptr<TTaskFileLock> lock = std::move(hold->second.Lock);
  holds_.erase(hold);
  return lock;
}

std::vector<std::string> TTaskRunner::Checkpoint(TCheckpoint::Clock::time_point now) {
  std::vector<std::string> failures;
  for (auto& [task, hold] : holds_) {
    if (IsDeleted(*task)) continue;
    try {
      hold.Checkpoint.Tick(*task, now);
    } catch (const EVendrakeError& e) {
      if (!hold.Reported) failures.emplace_back(e.what());
      hold.Reported = true;
    }
  }
  return failures;
}

}  // namespace vdk
