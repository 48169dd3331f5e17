#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "core/model/task_item.h"
#include "core/run/cancel_token.h"
#include "core/url/uri.h"

namespace vdk {

class TTask;
class THttpClient;
class TSynchronizer;
class EFileError;

// The download worker of one work item. In one pass on a worker thread (idle
// priority, see TWorkerThreads) it fetches the item as a page when its
// extension says so and it is not too deep (scanning it for links that become
// new items, and saving it when a mask covers it), then downloads it as a
// file when a mask covers its extension, into the mask's folder, which it
// makes with its parents when missing. Everything the user sees goes through
// the task's synchronizer it was started with: log lines and progress cells
// without waiting, rows while the worker waits. At the end of the pass the
// worker hands its item back to the task's run control on its own thread,
// which may give it the next waiting item to run on the same thread.
//
// Threads: made and resumed by the run control under its lock, on the main
// thread or on the thread of a worker that ended; Terminate runs on the main
// thread under the same lock. Terminate ends the
// worker at once: its transfer is aborted, its partial file closed and
// deleted under the step lock, and every later step (main-thread calls,
// links, files, renames, counters) is dropped. The worker shares ownership of
// the task, the item and the synchronizer it was started with, so nothing it
// still reads goes away or changes under it.
class TTaskThread : public std::enable_shared_from_this<TTaskThread> {
 public:
  TTaskThread(std::shared_ptr<TTask> task, std::shared_ptr<TTaskItem> item, std::shared_ptr<TSynchronizer> sync);
  ~TTaskThread();
  TTaskThread(const TTaskThread&) = delete;
  TTaskThread& operator=(const TTaskThread&) = delete;

  const std::shared_ptr<TTaskItem>& Item() const { return item_; }
  // The pass ended because the disk was full. Read once the pass has ended.
  bool FoundNoRoom() const { return noRoom_; }
  // The item's depth when the worker was made; the main thread may lower the
  // item's own depth while the worker runs.
  std::int32_t Depth() const { return depth_; }

  // Starts the pass on a worker thread. Raises std::system_error when no
  // thread can be had.
  void Resume();
  // Ends the worker at once (see above). Never waits for the network.
  void Terminate();

  // Resumed workers whose thread has not returned yet (a thread that runs the
  // next item after its own counts once), in the whole process, and a wait
  // for them to be gone (for a clean exit and for tests).
  static int LiveCount();
  static bool WaitForAll(std::chrono::steady_clock::duration timeout);

 private:
  // The pass, then the item handed back; returns the worker to run next.
  std::shared_ptr<TTaskThread> Run();
  void Execute();
  void PagePart(THttpClient& http);
  void SavePage(const std::string& text);
  void WritePage(const std::string& folder, const std::string& text);
  void AddLinks(const std::string& baseURL, std::string text);
  void FilePart(THttpClient& http);
  bool PassesSizeFilter(THttpClient& http);
  void Download(THttpClient& http, const std::string& folder);
  // Makes a folder with its parents; raises EFileError when it cannot.
  static void MakeFolder(const std::string& folder);

  // Visible steps. Each raises ECancelled once the worker has been stopped.
  void Log(const std::string& message);
  // Logs why the pass failed (never throws).
  void Failed(const std::string& reason);
  // A file or page that could not be written: logged and counted. When the
  // disk is full the pass ends (ENoRoom), its item waits and the task stops.
  void SaveFailed(const EFileError& error);
  void OnWork(THttpClient& http, std::int64_t count);
  // Runs fn on the main thread, waiting for it (Sync) or not (Tell).
  void Sync(std::function<void()> fn);
  void Tell(std::function<void()> fn);
  template <typename Step>
  void UnderStepLock(Step step);

  void CloseFile(bool remove);

  std::shared_ptr<TTask> task_;
  std::shared_ptr<TTaskItem> item_;
  std::shared_ptr<TSynchronizer> sync_;
  TIdURI url_;
  const std::int32_t depth_;
  const bool rescan_;
  std::shared_ptr<TCancelToken> token_ = std::make_shared<TCancelToken>();
  std::chrono::steady_clock::time_point lastProgress_{};
  std::string lastProgressText_;
  bool noRoom_ = false;

  // The partial file being written and its descriptor; changed under the
  // step lock, since Terminate closes and deletes it.
  std::string temporaryFile_;
  bool temporaryIsPartial_ = false;
  int fd_ = -1;
};

}  // namespace vdk
