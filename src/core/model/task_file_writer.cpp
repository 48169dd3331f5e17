#include "core/model/task_file_writer.h"

#include <pthread.h>

#include <exception>
#include <ostream>
#include <sstream>

#include "core/base/atomic_file.h"
#include "core/model/task.h"

namespace vdk {

TTaskFileWriter::TTaskFileWriter(TFailed failed)
    : failed_(std::move(failed)), thread_([this](std::stop_token stop) { Run(stop); }) {}

TTaskFileWriter::~TTaskFileWriter() {
  thread_.request_stop();
  thread_.join();
}

void TTaskFileWriter::Write(const TTask& task, const std::string& path, std::shared_ptr<void> keep) {
  std::ostringstream bytes;
  task.SaveToStream(bytes);
  {
    std::lock_guard lock(lock_);
    jobs_.push_back({path, std::move(bytes).str(), std::move(keep)});
  }
  changed_.notify_all();
}

void TTaskFileWriter::Wait() {
  std::unique_lock lock(lock_);
  changed_.wait(lock, [this] { return jobs_.empty() && !writing_; });
}

void TTaskFileWriter::Run(std::stop_token stop) {
  ::pthread_setname_np(::pthread_self(), "vdk-tasksave");
  std::unique_lock lock(lock_);
  for (;;) {
    // A stop ends the thread only once nothing waits to be written.
    changed_.wait(lock, stop, [this] { return !jobs_.empty(); });
    if (jobs_.empty()) return;
    TJob job = std::move(jobs_.front());
    jobs_.pop_front();
    writing_ = true;
    lock.unlock();
    WriteOne(job);
    job = {};  // the hold goes with the write, before Wait returns
    lock.lock();
    writing_ = false;
    changed_.notify_all();
  }
}

void TTaskFileWriter::WriteOne(TJob& job) const {
  try {
    WriteFileAtomically(job.Path, 0600, [&job](std::ostream& out) {
      out.write(job.Bytes.data(), static_cast<std::streamsize>(job.Bytes.size()));
    });
  } catch (const std::exception& e) {
    if (failed_) failed_(e.what());
  }
}

}  // namespace vdk
