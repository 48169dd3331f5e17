#include "import/import_file_list_thread.h"

#include <pthread.h>

#include <algorithm>
#include <system_error>

#include "import/project_rules.h"

namespace vdk {

TImportFileListThread::TImportFileListThread(std::shared_ptr<TSynchronizer> synchronizer, TImportView& view,
                                             std::shared_ptr<const TExistNames> knownNames, std::string baseURL,
                                             TProjectFetchLimits limits)
    : synchronizer_(std::move(synchronizer)),
      view_(view),
      knownNames_(std::move(knownNames)),
      baseURL_(std::move(baseURL)),
      limits_(limits) {
  listThread_ = std::thread([this] { RunList(); });
}

TImportFileListThread::~TImportFileListThread() { Stop(); }

void TImportFileListThread::Stop() {
  // Cancelling on the main thread means a view call runs whole before this
  // line or never, and threads waiting for their call wake at once.
  token_->Cancel();
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    queue_.clear();
    for (TProjectUpdateCtrl* ctrl : fetching_) ctrl->Cancel();
  }
  // Nothing is left that a thread could wait for, so these joins are short.
  // Only the list thread starts file threads: once it has ended, the list of
  // file threads no longer changes.
  if (listThread_.joinable()) listThread_.join();
  for (std::thread& thread : fileThreads_)
    if (thread.joinable()) thread.join();
}

bool TImportFileListThread::Show(const std::function<void()>& change) {
  return synchronizer_->Synchronize(token_, change);
}

bool TImportFileListThread::Register(TProjectUpdateCtrl& ctrl) {
  std::lock_guard lock(mutex_);
  if (stopped_) return false;
  fetching_.push_back(&ctrl);
  return true;
}

void TImportFileListThread::Unregister(TProjectUpdateCtrl& ctrl) {
  std::lock_guard lock(mutex_);
  std::erase(fetching_, &ctrl);
}

void TImportFileListThread::RunList() {
  ::pthread_setname_np(::pthread_self(), "vdk-import-list");
  std::string failure;
  {
    TProjectUpdateCtrl ctrl(baseURL_, limits_);
    if (Register(ctrl)) {
      failure = LoadIndex(ctrl);
      Unregister(ctrl);
    }
  }
  Show([&] { view_.IndexLoaded(failure); });
}

std::string TImportFileListThread::LoadIndex(TProjectUpdateCtrl& ctrl) {
  if (!Show([this] { view_.IndexLoading(); })) return "";
  std::vector<std::string> names;
  try {
    ctrl.GetIndex(names);
  } catch (const std::exception& e) {
    return e.what();  // no groups
  }
  int groups = 0;
  for (std::string& name : names) {
    if (!IsValidListName(name)) continue;
    if (groups++ == kMaxLists) break;
    auto group = std::make_shared<TImportFileThread>(std::move(name));
    if (!Show([&] { view_.GroupAdded(group); })) break;
    QueueGroup(std::move(group));
  }
  return "";
}

void TImportFileListThread::QueueGroup(std::shared_ptr<TImportFileThread> group) {
  std::lock_guard lock(mutex_);
  if (stopped_) return;
  queue_.push_back(std::move(group));
  if (idleOrRunning_ >= kMaxFileThreads) return;
  try {
    fileThreads_.emplace_back([this] { RunFiles(); });
    ++idleOrRunning_;
  } catch (const std::system_error&) {
    // No thread to be had: a running file thread takes the group later.
  }
}

std::shared_ptr<TImportFileThread> TImportFileListThread::NextGroup() {
  std::lock_guard lock(mutex_);
  if (stopped_ || queue_.empty()) {
    // Decided under the lock that also queues: a group queued after this
    // starts a new file thread.
    --idleOrRunning_;
    return nullptr;
  }
  auto group = std::move(queue_.front());
  queue_.pop_front();
  return group;
}

void TImportFileListThread::RunFiles() {
  ::pthread_setname_np(::pthread_self(), "vdk-import-file");
  TProjectUpdateCtrl ctrl(baseURL_, limits_);
  const bool registered = Register(ctrl);
  while (auto group = NextGroup()) {
    if (!registered) continue;
    auto result = group->Fetch(ctrl, *knownNames_);
    Show([&] {
      group->Complete(std::move(result));
      view_.GroupLoaded(*group);
    });
  }
  if (registered) Unregister(ctrl);
}

}  // namespace vdk
