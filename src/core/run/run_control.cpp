#include "core/run/run_control.h"

#include <ctime>
#include <exception>
#include <set>
#include <stdexcept>

#include "core/base/ole_date.h"
#include "core/base/path_utils.h"
#include "core/model/task.h"
#include "core/net/http_connections.h"
#include "core/run/partial_files.h"
#include "core/run/task_thread.h"
#include "core/url/url_path.h"

namespace vdk {
namespace {

constexpr int kStartWorkers = 8;
constexpr int kRefillWorkers = 7;

// "[date time] - ", formatted once per second: formatting the local date and
// time looks at the time-zone file again on every call, and a crawl logs
// thousands of lines a second.
const std::string& LogStamp(std::time_t now) {
  thread_local std::time_t second = -1;
  thread_local std::string stamp;
  if (now != second) {
    const TDateTime local = DateTimeFromTimeT(now);
    stamp = "[" + FormatShortDate(local) + " " + FormatLongTime(local) + "] - ";
    second = now;
  }
  return stamp;
}

// Deletes the partial downloads in the task's folders that no worker owns,
// in this process or another.
void DeleteLeftovers(const TRegOptions& options) {
  std::set<std::string> folders{AddSlash(options.DefaultFolder) + "Saved"};
  for (const std::string& mask : options.FileMasks)
    folders.insert(AddSlash(options.DefaultFolder) + SplitMask(mask).second);
  for (const std::string& folder : folders) DeleteLeftoverPartials(folder);
}

}  // namespace

void TRunControl::Start() {
  if (!task_.Synchronizer) throw std::logic_error("TTask::Start needs a synchronizer");
  // A crashed run's leftovers would push this run's files to "name[0]".
  DeleteLeftovers(task_.Options);
  task_.stopped_ = false;
  task_.startFailure_.clear();
  task_.failedSaves_ = 0;
  task_.noRoomFailure_.clear();
  if (task_.Items.Count() == 0) {
    try {
      auto first = std::make_shared<TTaskItem>(&task_, task_.URL.URI());
      first->Depth = 0;
      task_.Items.Add(first);
      if (task_.Displayed) AddItemRows({first});
    } catch (...) {
      task_.stopped_ = true;
      throw;
    }
  }
  for (const auto& item : task_.Items.FirstWaiting(kStartWorkers)) StartItem(*item);
  if (task_.OnStarted) task_.OnStarted(task_);
  EndWhenIdle();
}

void TRunControl::Stop() {
  task_.stopped_ = true;
  task_.stopping_ = true;
  for (const auto& item : task_.Items.RunningItems()) StopItem(*item);
  task_.connections_->CloseAll();
  task_.stopping_ = false;
}

void TRunControl::Restart() {
  Stop();
  task_.Items.Clear();
  task_.finishedCount_ = 0;
  task_.savedCount_ = 0;
  // The items view shows another task's rows while this one is not displayed.
  if (task_.Displayed && task_.ItemsView) task_.ItemsView->ClearRows();
  Start();
}

void TRunControl::ShowItems() {
  if (task_.ItemsView == nullptr) return;
  std::vector<TItemRow> rows;
  rows.reserve(static_cast<std::size_t>(task_.Items.Count()));
  task_.Items.ForEach([&](const TaskItemPtr& item) {
    if (!item->Done()) rows.push_back(RowOf(*item));
  });
  task_.ItemsView->ClearRows();
  task_.ItemsView->AddRows(rows);
}

void TRunControl::ItemFinished(TTaskThread& sender) {
  const TaskItemPtr item = sender.Item();
  if (item->Worker.get() != &sender) return;  // a worker of an earlier run
  item->Worker.reset();
  SetRunning(*item, false);
  if (sender.FoundNoRoom()) {
    // The disk is full: this item and every running one wait for a later run,
    // which resumes them, instead of failing one after the other.
    WaitAgain(*item, false);
    Stop();
    AppendLog("The disk is full: the task stops, and the files not saved wait for its next run");
    if (task_.OnFinished) task_.OnFinished(task_);
    return;
  }
  if (item->Depth < sender.Depth()) {
    // Found nearer the start while its worker ran at the old depth (only
    // LinkFoundAgain lowers a depth, and only to one where the page is fetched).
    WaitAgain(*item, task_.FetchesPageAt(*item, sender.Depth()));
  } else {
    item->SetDone(true);
    ++task_.finishedCount_;
    RemoveItemRow(item.get());
  }
  if (!task_.stopping_ && !task_.stopped_) {
    for (const auto& next : task_.Items.FirstWaiting(kRefillWorkers - task_.RunningCount())) StartItem(*next);
  }
  EndWhenIdle();
}

void TRunControl::LinkFoundAgain(const TaskItemPtr& item, std::int32_t depth) {
  const std::int32_t old = item->Depth;
  if (depth >= old || !task_.FetchesPageAt(*item, depth)) return;
  item->Depth = depth;
  if (item->Running()) return;  // ItemFinished compares with the worker's depth
  const bool scanned = item->Done() && task_.FetchesPageAt(*item, old);
  if (item->Done()) {
    item->SetDone(false);
    --task_.finishedCount_;
  }
  WaitAgain(*item, scanned);
}

void TRunControl::FinishRun() {
  // The clean-up happens even when the save fails; the failure is reported after.
  std::exception_ptr failure;
  try {
    if (!task_.FileName.empty()) task_.SaveToFile(task_.FileName);
  } catch (...) {
    failure = std::current_exception();
  }
  DeleteLeftovers(task_.Options);
  if (failure) std::rethrow_exception(failure);
}

void TRunControl::StartItem(TTaskItem& item) {
  item.Worker = std::make_shared<TTaskThread>(task_.shared_from_this(), item.shared_from_this());
  item.Worker->Resume();
  SetRunning(item, true);
}

void TRunControl::StopItem(TTaskItem& item) {
  if (item.Worker) {
    item.Worker->Terminate();
    item.Worker.reset();
  }
  item.SetRunningFlag(false);  // the row keeps its icon
}

void TRunControl::SetRunning(TTaskItem& item, bool running) {
  if (item.Running() == running) return;
  item.SetRunningFlag(running);
  if (task_.ItemsView) task_.ItemsView->SetRowImage(&item, running ? 1 : 0);
}

void TRunControl::WaitAgain(TTaskItem& item, bool scanned) {
  item.Rescan = item.Rescan || scanned;
  RemoveItemRow(&item);
  if (task_.Displayed && task_.ItemsView) task_.ItemsView->AddRows({RowOf(item)});
}

void TRunControl::EndWhenIdle() {
  if (task_.stopped_ || task_.RunningCount() != 0) return;
  task_.stopped_ = true;
  task_.connections_->CloseAll();
  if (task_.OnFinished) task_.OnFinished(task_);
}

TItemRow TRunControl::RowOf(const TTaskItem& item) const {
  const TIdURI& url = item.URL();
  return {&item,
          item.Running() ? 1 : 0,
          {WithoutUserInfo(url.URI()), std::string(ExtractFileExt(url.Document())), "---", std::to_string(item.Depth),
           "---"}};
}

void TRunControl::AddItemRows(const std::vector<TaskItemPtr>& items) {
  if (!task_.Displayed || task_.ItemsView == nullptr) return;
  std::vector<TItemRow> rows;
  rows.reserve(items.size());
  for (const TaskItemPtr& item : items)
    if (!item->Done()) rows.push_back(RowOf(*item));
  if (!rows.empty()) task_.ItemsView->AddRows(rows);
}

void TRunControl::RemoveItemRow(const TTaskItem* item) {
  if (task_.ItemsView) task_.ItemsView->RemoveRow(item);
}

void TRunControl::SetRowProgress(const TTaskItem* item, const std::string& size, const std::string& completed) {
  if (task_.Displayed && task_.ItemsView) task_.ItemsView->SetRowProgress(item, size, completed);
}

void TRunControl::AddSavedFileRow(const std::string& path, std::int64_t size) {
  if (task_.ImagesView == nullptr || !task_.Displayed) return;
  task_.ImagesView->AddFileRow(std::string(ExtractFileName(path)), std::string(ExtractFileExt(path)),
                               std::to_string(size / 1024) + " KB", path);
}

void TRunControl::ItemFailed(const std::string& reason, bool startURL) {
  AppendLog("Failed: " + reason);
  if (startURL) task_.startFailure_ = reason;
}

void TRunControl::SaveFailed(const std::string& reason, bool noRoom) {
  AppendLog("Failed: " + reason);
  ++task_.failedSaves_;
  if (noRoom && task_.noRoomFailure_.empty()) task_.noRoomFailure_ = reason;
}

void TRunControl::AppendLog(const std::string& message) {
  if (task_.LogView == nullptr) return;
  task_.LogView->AppendLine(LogStamp(std::time(nullptr)) + message);
}

}  // namespace vdk
