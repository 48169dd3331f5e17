#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/base/ole_date.h"
#include "core/model/task_file_lock.h"
#include "core/model/task_list.h"
#include "core/run/checkpoint.h"
#include "core/settings/schedule_slots.h"

namespace vdk {

class TSynchronizer;
class TItemsView;
class TLogView;
class TImagesView;
class TImageQueue;

// What every task the window loads is bound to.
struct TTaskBinding {
  std::shared_ptr<TSynchronizer> Synchronizer;
  TItemsView* ItemsView = nullptr;
  TLogView* LogView = nullptr;
  TImagesView* ImagesView = nullptr;
  TImageQueue* ImageQueue = nullptr;
  std::function<void(TTask&)> OnFinished;
};

// The tasks the window has opened during this run, by task file: loading a
// task on first use and binding it to the views, the tasks whose files were
// deleted, and the schedule's memory of the slots it has served. No widgets
// here; everything runs on the GUI thread.
class TTaskRunner {
 public:
  explicit TTaskRunner(TTaskBinding binding);
  // Stops every running task (nothing is saved) and unbinds the views, so no
  // worker reaches them afterwards.
  ~TTaskRunner();
  TTaskRunner(const TTaskRunner&) = delete;
  TTaskRunner& operator=(const TTaskRunner&) = delete;

  // Every task opened since start-up, in the order opened; a task stays in it
  // for the run.
  TTaskList Tasks;
  // The task-file paths whose task has been loaded, in the order loaded.
  const std::vector<std::string>& LoadedTaskFiles() const { return loaded_; }

  // The task of a task file, loaded and bound on first use. Two files holding
  // the same TaskID share the task loaded first (the second file is read
  // again at every lookup). Raises what loading raises; nothing is added then.
  std::shared_ptr<TTask> TaskOfPath(const std::string& path);

  // A deleted task file, or a deleted folder (every file under it): each
  // loaded task there is stopped when it runs and marked deleted, so it is
  // never saved or started again and no lookup finds it; a new task made at
  // the same path later is a new object.
  void ForgetDeleted(const std::string& path);
  bool IsDeleted(const TTask& task) const { return deleted_.count(&task) != 0; }

  // The images view of every task (the downloaded-files panel, once it is in).
  void SetImagesView(TImagesView* view);

  // The tasks that the schedule starts at now, each at most once per slot,
  // in the order of Tasks: Start for a task with work waiting (or none yet),
  // Restart for one whose every item is done.
  std::vector<std::pair<std::shared_ptr<TTask>, TScheduledStart>> DueTasks(TDateTime now);

  // A task's schedule was edited: its next due slot counts afresh.
  void ScheduleChanged(const TTask& task);

  // Ends every running task at once, from the last to the first, and saves
  // each; the first failure to save is raised once every task is stopped.
  void StopAll();

  // A run's hold on its task file, taken before the task starts and kept
  // until its run has ended or stopped and the file is saved, so that no
  // other run (vendrake-cli or another window) runs the same task meanwhile.
  // False when another run holds it; raises EFileError when the lock cannot
  // be made. Holding a task held already is true.
  bool Hold(const TTask& task);
  void Release(const TTask& task);
  // Ends the task's hold here and hands over its lock, which then keeps the
  // file from other runs until it is let go (null when the task holds none).
  std::shared_ptr<void> TakeHold(const TTask& task);
  // Saves every held running task whose checkpoint is due, so that a crash
  // costs at most one interval of its work. The reasons of the saves that
  // failed, each task's first failure only.
  std::vector<std::string> Checkpoint(TCheckpoint::Clock::time_point now = TCheckpoint::Clock::now());

 private:
  void Bind(TTask& task) const;
  int IndexOfLive(const std::function<bool(const TTask&)>& pred) const;

  TTaskBinding binding_;
  std::vector<std::string> loaded_;
  std::unordered_set<const TTask*> deleted_;
  TScheduleSlots slots_;
  struct THold {
    std::unique_ptr<TTaskFileLock> Lock;
    TCheckpoint Checkpoint;
    bool Reported = false;  // a failed checkpoint has been reported
  };
  std::map<const TTask*, THold> holds_;
};

}  // namespace vdk
