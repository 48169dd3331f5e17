#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vdk {

class TTask;

// Writes task files on a thread of its own ("vdk-tasksave"), in the order
// they were handed over, so that the window does not wait for the disk (the
// file and its folder are flushed) at the end of a run. Write takes the
// task's bytes at once, so nothing that happens to the task afterwards
// reaches the file; each file is written as SaveToFile writes it (a
// temporary file renamed over the old one). Wait returns once everything
// handed over is written: whatever reads or writes a task file after a run
// waits first. The destructor writes what is still waiting, so no save is
// ever lost.
//
// Threads: Write and Wait come from the GUI thread; the queue and the
// writing flag are shared with the writer's thread under lock_. A failure is
// handed to the callback on the writer's thread.
class TTaskFileWriter {
 public:
  using TFailed = std::function<void(const std::string& reason)>;

  explicit TTaskFileWriter(TFailed failed);
  ~TTaskFileWriter();
  TTaskFileWriter(const TTaskFileWriter&) = delete;
  TTaskFileWriter& operator=(const TTaskFileWriter&) = delete;

  // Queues the task's bytes for path; keep (the run's hold on the file) is
  // let go once the file is written or failed.
  void Write(const TTask& task, const std::string& path, std::shared_ptr<void> keep = nullptr);
  void Wait();

 private:
  struct TJob {
    std::string Path;
    std::string Bytes;
    std::shared_ptr<void> Keep;
  };
  void Run(std::stop_token stop);
  void WriteOne(TJob& job) const;

  const TFailed failed_;
  std::mutex lock_;
  std::condition_variable_any changed_;
  std::deque<TJob> jobs_;  // guarded by lock_
  bool writing_ = false;   // guarded by lock_
  std::jthread thread_;    // last: starts once everything it uses exists
};

}  // namespace vdk
