#include "core/run/run_control.h"

#include <ctime>
#include <exception>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "core/base/ole_date.h"
#include "core/base/path_utils.h"
#include "core/model/task.h"
#include "core/net/http_connections.h"
#include "core/run/partial_files.h"
#include "core/run/synchronize.h"
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
  task_.startFailure_.clear();
  task_.failedSaves_ = 0;
  task_.noRoomFailure_.clear();
  TaskItemPtr first;
  TWorkers workers;
  {
    std::lock_guard lock(lock_);
    task_.stopped_ = false;
    halting_ = false;
    ++run_;
    if (task_.Items.Count() == 0) {
      try {
        first = std::make_shared<TTaskItem>(&task_, task_.URL.URI());
        first->Depth = 0;
        task_.Items.Add(first);
      } catch (...) {
        task_.stopped_ = true;
        throw;
      }
    }
    StartWaiting(kStartWorkers, task_.Synchronizer, false, workers);
  }
  if (first) AddItemRows({first});
  std::vector<TaskItemPtr> started;
  for (const auto& worker : workers) started.push_back(worker->Item());
  ShowRunning(started);
  if (task_.OnStarted) task_.OnStarted(task_);
  // Otherwise the run ends with the news of its last pass: the workers may
  // have ended already, their news still on its way.
  if (workers.empty()) EndWhenIdle();
}

void TRunControl::Stop() {
  {
    std::lock_guard lock(lock_);
    task_.stopped_ = true;
    halting_ = false;
    task_.stopping_ = true;
    for (const auto& item : task_.Items.RunningItems()) StopItem(*item);
    task_.stopping_ = false;
  }
  task_.connections_->CloseAll();
}

void TRunControl::Restart() {
  Stop();
  {
    std::lock_guard lock(lock_);
    task_.Items.Clear();
    task_.finishedCount_ = 0;
    task_.savedCount_ = 0;
    ++epoch_;
  }
  // The items view shows another task's rows while this one is not displayed.
  if (task_.Displayed && task_.ItemsView) task_.ItemsView->ClearRows();
  Start();
}

void TRunControl::ShowItems() {
  if (task_.ItemsView == nullptr) return;
  std::vector<TItemRow> rows;
  {
    std::lock_guard lock(lock_);
    rows.reserve(static_cast<std::size_t>(task_.Items.Count()));
    task_.Items.ForEach([&](const TaskItemPtr& item) {
      if (!item->Done()) rows.push_back(RowOf(*item));
    });
  }
  task_.ItemsView->ClearRows();
  task_.ItemsView->AddRows(rows);
}

std::shared_ptr<TTaskThread> TRunControl::PassEnded(TTaskThread& worker, const std::shared_ptr<TSynchronizer>& sync,
                                                    const std::shared_ptr<TCancelToken>& token) {
  const TaskItemPtr item = worker.Item();
  TWorkers workers;
  TSynchronizer::TPendingPost tellMain;  // goes after the lock
  std::lock_guard lock(lock_);
  // A stopped worker's item has been reset by the stop.
  if (token->Cancelled() || item->Worker.get() != &worker) return nullptr;
  item->Worker.reset();
  // The disk is full: this item and every running one wait for a later run,
  // which resumes them, instead of failing one after the other. The first
  // such pass of a run has the main thread stop it; until then nothing starts.
  const bool noRoom = worker.FoundNoRoom();
  const bool halt = noRoom && !task_.stopped_ && !halting_;
  halting_ = halting_ || halt;
  // Found nearer the start while its worker ran at the old depth (only
  // LinkFoundAgain lowers a depth, and only to one where the page is
  // fetched): it waits to be fetched again.
  const bool nearer = !noRoom && item->Depth < worker.Depth();
  if (nearer) item->Rescan = item->Rescan || task_.FetchesPageAt(*item, worker.Depth());
  const bool done = !noRoom && !nearer;
  if (done) item->SetDone(true);
  item->SetRunningFlag(false);
  if (!task_.stopped_ && !halting_) {
    try {
      StartWaiting(kRefillWorkers, sync, true, workers);
    } catch (const std::system_error&) {
      // No thread to be had: the rest waits for the next refill.
    }
  }
  // Counted after the refill: whoever sees the count sees its workers.
  if (done) ++task_.finishedCount_;
  TPassNews news{item, {}, epoch_, run_, halt, task_.RunningCount() == 0};
  for (const auto& next : workers) news.Started.push_back(next->Item());
  // Queued (never waited for) under the lock, so that the main thread hears
  // of the ended passes in the order of their changes: the news that no
  // item runs (Idle) comes last. The main thread is woken once the lock is
  // free: ItemFinished takes it.
  tellMain = sync->QueueHeld(
      token, [task = task_.shared_from_this(), news = std::move(news)] { task->run_->ItemFinished(news); });
  return workers.empty() ? nullptr : workers.front();
}

void TRunControl::ItemFinished(const TPassNews& news) {
  std::optional<TItemRow> again;
  std::vector<std::pair<const TTaskItem*, int>> images;
  bool last = false;
  {
    std::lock_guard lock(lock_);
    if (news.Epoch != epoch_) return;
    if (!news.Item->Done()) again = RowOf(*news.Item);
    for (const auto& next : news.Started) images.emplace_back(next.get(), next->Running() ? 1 : 0);
    // The idle news of a run stopped and started again since ends nothing.
    last = news.Idle && news.Run == run_;
  }
  if (TItemsView* view = task_.ItemsView) {
    if (again)
      ShowWaitingAgain(*again);
    else
      view->RemoveRow(news.Item.get());
    for (const auto& [next, image] : images) view->SetRowImage(next, image);
  }
  if (news.Halt && Halting()) {
    Stop();
    AppendLog("The disk is full: the task stops, and the files not saved wait for its next run");
    if (task_.OnFinished) task_.OnFinished(task_);
    return;
  }
  if (last) EndWhenIdle();
}

bool TRunControl::Halting() {
  std::lock_guard lock(lock_);
  return halting_;
}

void TRunControl::LinkFoundAgain(const TaskItemPtr& item, std::int32_t depth) {
  TItemRow row;
  {
    std::lock_guard lock(lock_);
    const std::int32_t old = item->Depth;
    if (depth >= old || !task_.FetchesPageAt(*item, depth)) return;
    item->Depth = depth;
    if (item->Running()) return;  // PassEnded compares with the worker's depth
    const bool scanned = item->Done() && task_.FetchesPageAt(*item, old);
    if (item->Done()) {
      item->SetDone(false);
      --task_.finishedCount_;
    }
    item->Rescan = item->Rescan || scanned;
    row = RowOf(*item);
  }
  ShowWaitingAgain(row);
}

void TRunControl::FinishRun(const std::function<void(const TTask&)>& save) {
  // The clean-up happens even when the save fails; the failure is reported after.
  std::exception_ptr failure;
  try {
    if (!task_.FileName.empty()) {
      if (save)
        save(task_);
      else
        task_.SaveToFile(task_.FileName);
    }
  } catch (...) {
    failure = std::current_exception();
  }
  DeleteLeftovers(task_.Options);
  if (failure) std::rethrow_exception(failure);
}

void TRunControl::StartWaiting(int limit, const std::shared_ptr<TSynchronizer>& sync, bool firstHere,
                               TWorkers& workers) {
  for (const auto& item : task_.Items.FirstWaiting(limit - task_.RunningCount())) {
    auto worker = std::make_shared<TTaskThread>(task_.shared_from_this(), item, sync);
    if (!firstHere || !workers.empty()) worker->Resume();
    item->Worker = worker;
    item->SetRunningFlag(true);
    workers.push_back(std::move(worker));
  }
}

void TRunControl::StopItem(TTaskItem& item) {
  if (item.Worker) {
    item.Worker->Terminate();
    item.Worker.reset();
  }
  item.SetRunningFlag(false);  // the row keeps its icon
}

void TRunControl::ShowRunning(const std::vector<TaskItemPtr>& items) {
  if (task_.ItemsView == nullptr) return;
  std::vector<std::pair<const TTaskItem*, int>> images;
  {
    std::lock_guard lock(lock_);
    for (const auto& item : items) images.emplace_back(item.get(), item->Running() ? 1 : 0);
  }
  for (const auto& [item, image] : images) task_.ItemsView->SetRowImage(item, image);
}

void TRunControl::ShowWaitingAgain(const TItemRow& row) {
  if (task_.ItemsView == nullptr) return;
  task_.ItemsView->RemoveRow(row.Item);
  if (task_.Displayed) task_.ItemsView->AddRows({row});
}

void TRunControl::EndWhenIdle() {
  {
    std::lock_guard lock(lock_);
    if (task_.stopped_ || task_.RunningCount() != 0) return;
    task_.stopped_ = true;
  }
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
  {
    std::lock_guard lock(lock_);
    for (const TaskItemPtr& item : items)
      if (!item->Done()) rows.push_back(RowOf(*item));
  }
  if (!rows.empty()) task_.ItemsView->AddRows(rows);
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
