#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/run/cancel_token.h"
#include "core/run/synchronize.h"
#include "core/settings/exist_names.h"
#include "import/import_file_thread.h"
#include "import/import_view.h"
#include "import/project_update_ctrl.h"

namespace vdk {

// The import's threads: the list thread ("vdk-import-list") fetches the index
// and adds a group per valid list name; at most kMaxFileThreads file threads
// ("vdk-import-file") fetch the groups' lists, the others wait in a queue.
// Every change the view sees runs on the main thread through the
// synchronizer, each call whole or not at all.
//
// Stop (also on destruction) ends everything at once: the calls not yet run
// are dropped, the fetches in flight are aborted, the queue is emptied, and
// the threads, which then wait for nothing, are joined. The view sees no call
// after Stop returns.
//
// Threads: created, stopped and destroyed on the main thread. The queue, the
// list of fetching controllers and the stop flag are guarded by mutex_.
class TImportFileListThread {
 public:
  static constexpr int kMaxFileThreads = 3;
  // More lists than this in an index are not offered.
  static constexpr int kMaxLists = 200;

  // Starts the list thread at once. knownNames tells the file threads which
  // projects have been imported before; they only read it.
  TImportFileListThread(std::shared_ptr<TSynchronizer> synchronizer, TImportView& view,
                        std::shared_ptr<const TExistNames> knownNames, std::string baseURL,
                        TProjectFetchLimits limits = {});
  ~TImportFileListThread();
  TImportFileListThread(const TImportFileListThread&) = delete;
  TImportFileListThread& operator=(const TImportFileListThread&) = delete;

  void Stop();

 private:
  void RunList();
  // Adds the groups; returns why the index could not be had, or "".
  std::string LoadIndex(TProjectUpdateCtrl& ctrl);
  void QueueGroup(std::shared_ptr<TImportFileThread> group);
  void RunFiles();
  std::shared_ptr<TImportFileThread> NextGroup();
  // A controller is registered while it may fetch, so that Stop can abort it;
  // false once stopped.
  bool Register(TProjectUpdateCtrl& ctrl);
  void Unregister(TProjectUpdateCtrl& ctrl);
  bool Show(const std::function<void()>& change);

  const std::shared_ptr<TSynchronizer> synchronizer_;
  const std::shared_ptr<TCancelToken> token_ = std::make_shared<TCancelToken>();
  TImportView& view_;
  const std::shared_ptr<const TExistNames> knownNames_;
  const std::string baseURL_;
  const TProjectFetchLimits limits_;

  std::mutex mutex_;
  bool stopped_ = false;
  std::vector<TProjectUpdateCtrl*> fetching_;
  std::deque<std::shared_ptr<TImportFileThread>> queue_;
  int idleOrRunning_ = 0;  // file threads that have not ended

  // Written by the list thread only; read by Stop after it has joined it.
  std::vector<std::thread> fileThreads_;
  std::thread listThread_;
};

}  // namespace vdk
