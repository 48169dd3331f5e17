// Run control: which items get a worker and when, what happens when a worker
// ends, how a run is stopped, and the rows a task keeps in its views. All of
// it runs on the main thread.

#include <ctime>
#include <exception>
#include <set>
#include <stdexcept>

#include "core/base/ole_date.h"
#include "core/base/path_utils.h"
#include "core/model/task.h"
#include "core/run/partial_files.h"
#include "core/run/task_thread.h"
#include "core/run/views.h"
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

}  // namespace

void TTaskItem::Start() {
  Worker = std::make_shared<TTaskThread>(task_->shared_from_this(), shared_from_this());
  Worker->Resume();
  SetRunning(true);
}

void TTaskItem::Stop() {
  if (Worker) {
    Worker->Terminate();
    Worker.reset();
  }
  SetRunningFlag(false);
}

void TTaskItem::SetRunning(bool running) {
  if (running_ == running) return;
  SetRunningFlag(running);
  if (task_->ItemsView) task_->ItemsView->SetRowImage(this, running ? 1 : 0);
}

void TTask::Start() {
  if (!Synchronizer) throw std::logic_error("TTask::Start needs a synchronizer");
  Stopped = false;
  if (Items.Count() == 0) {
    try {
      auto first = std::make_shared<TTaskItem>(this, URL.URI());
      first->Depth = 0;
      if (Displayed) AddItemRow(first.get());
      Items.Add(first);
    } catch (...) {
      Stopped = true;
      throw;
    }
  }
  for (const auto& item : Items.FirstWaiting(kStartWorkers)) item->Start();
  if (RunningCount() == 0) {
    Stopped = true;
    if (OnFinished) OnFinished(*this);
  }
}

void TTask::Stop() {
  Stopped = true;
  Stopping = true;
  for (const auto& item : Items.RunningItems()) item->Stop();
  Stopping = false;
}

void TTask::ItemFinished(TTaskThread& sender) {
  const std::shared_ptr<TTaskItem> item = sender.Item();
  if (item->Worker.get() != &sender) return;  // a worker of an earlier run
  item->Worker.reset();
  item->SetRunning(false);
  if (item->Depth < sender.Depth()) {
    // Found nearer the start while its worker ran at the old depth (only
    // LinkFoundAgain lowers a depth, and only to one where the page is fetched).
    WaitAgain(*item, FetchesPageAt(*item, sender.Depth()));
  } else {
    item->SetDone(true);
    ++FinishedCount;
    RemoveItemRow(item.get());
  }
  if (!Stopping && !Stopped) {
    for (const auto& next : Items.FirstWaiting(kRefillWorkers - RunningCount())) next->Start();
  }
  if (RunningCount() == 0) {
    Stopped = true;
    if (OnFinished) OnFinished(*this);
  }
}

bool TTask::FetchesPageAt(const TTaskItem& item, std::int32_t depth) const {
  return depth < Options.SeekDeep && IsPageExt(ExtractFileExt(item.URL().Document()));
}

void TTask::LinkFoundAgain(const std::shared_ptr<TTaskItem>& item, std::int32_t depth) {
  const std::int32_t old = item->Depth;
  if (depth >= old || !FetchesPageAt(*item, depth)) return;
  item->Depth = depth;
  if (item->Running()) return;  // ItemFinished compares with the worker's depth
  const bool scanned = item->Done() && FetchesPageAt(*item, old);
  if (item->Done()) {
    item->SetDone(false);
    --FinishedCount;
  }
  WaitAgain(*item, scanned);
}

void TTask::WaitAgain(TTaskItem& item, bool scanned) {
  item.Rescan = item.Rescan || scanned;
  RemoveItemRow(&item);
  if (Displayed) AddItemRow(&item);
}

void TTask::AddItemRow(const TTaskItem* item) {
  if (item == nullptr || ItemsView == nullptr) return;
  const TIdURI& url = item->URL();
  ItemsView->AddRow(
      item, item->Running() ? 1 : 0,
      {url.URI(), std::string(ExtractFileExt(url.Document())), "---", std::to_string(item->Depth), "---"});
}

void TTask::RemoveItemRow(const TTaskItem* item) {
  if (ItemsView) ItemsView->RemoveRow(item);
}

void TTask::AddSavedFileRow(const std::string& path, std::int64_t size) {
  if (ImagesView == nullptr || !Displayed) return;
  ImagesView->AddFileRow(std::string(ExtractFileName(path)), std::string(ExtractFileExt(path)),
                         std::to_string(size / 1024) + " KB", path);
}

void TTask::AppendLog(const std::string& message) {
  if (LogView == nullptr) return;
  LogView->AppendLine(LogStamp(std::time(nullptr)) + message);
}

void TTask::FinishRun() {
  // The clean-up happens even when the save fails; the failure is reported after.
  std::exception_ptr failure;
  try {
    if (!FileName.empty()) SaveToFile(FileName);
  } catch (...) {
    failure = std::current_exception();
  }
  std::set<std::string> folders{AddSlash(Options.DefaultFolder) + "Saved"};
  for (const std::string& mask : Options.FileMasks)
    folders.insert(AddSlash(Options.DefaultFolder) + SplitMask(mask).second);
  for (const std::string& folder : folders) DeleteLeftoverPartials(folder);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace vdk
