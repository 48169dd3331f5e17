#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/model/task.h"
#include "core/run/event_loop.h"
#include "core/run/task_thread.h"
#include "core/run/views.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vdk::test {

// Views that remember what the engine showed.
struct RecordingViews : TItemsView, TLogView, TImagesView, TImageQueue {
  struct Row {
    int image = 0;
    std::array<std::string, 5> cells;
  };
  std::map<const TTaskItem*, Row> rows;
  std::vector<std::string> log;  // messages without their time stamp
  std::vector<std::array<std::string, 4>> savedRows;
  std::vector<const TTaskItem*> lastBatch;  // the items of the last AddRows, in order
  std::vector<std::string> queued;
  std::mutex queuedLock;
  std::condition_variable queuedChanged;

  void AddRow(const TTaskItem* item, int image, const std::array<std::string, 5>& cells) override {
    rows[item] = {image, cells};
  }
  void RemoveRow(const TTaskItem* item) override { rows.erase(item); }
  void AddRows(const std::vector<TItemRow>& batch) override {
    lastBatch.clear();
    for (const TItemRow& row : batch) lastBatch.push_back(row.Item);
    TItemsView::AddRows(batch);
  }
  void ClearRows() override { rows.clear(); }
  void SetRowImage(const TTaskItem* item, int image) override {
    if (auto it = rows.find(item); it != rows.end()) it->second.image = image;
  }
  void SetRowProgress(const TTaskItem* item, const std::string& size, const std::string& done) override {
    if (auto it = rows.find(item); it != rows.end()) {
      it->second.cells[2] = size;
      it->second.cells[4] = done;
    }
  }
  void AppendLine(const std::string& line) override { log.push_back(line.substr(line.find("] - ") + 4)); }
  void AddFileRow(const std::string& caption, const std::string& ext, const std::string& size,
                  const std::string& path) override {
    savedRows.push_back({caption, ext, size, path});
  }
  void Queue(const std::string& path) override {
    std::lock_guard lock(queuedLock);
    queued.push_back(path);
    queuedChanged.notify_all();
  }
  // Waits (at most 30 s, so that a broken engine fails instead of hanging)
  // until n files have been queued; called from the main thread, it runs none
  // of the calls the workers hand over meanwhile.
  bool WaitQueued(std::size_t n) {
    std::unique_lock lock(queuedLock);
    return queuedChanged.wait_for(lock, std::chrono::seconds(30), [&] { return queued.size() >= n; });
  }
  int Count(const std::string& message) const { return static_cast<int>(std::count(log.begin(), log.end(), message)); }
};

// A task wired to recording views and an event loop, saving under a
// temporary folder, crawling the test server.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    task->Synchronizer = loop;
    task->ItemsView = &views;
    task->LogView = &views;
    task->ImagesView = &views;
    task->ImageQueue = &views;
    task->Displayed = true;
    task->OnFinished = [this](TTask&) { ++finished; };
    task->Options.DefaultFolder = dir.Path();
    task->Options.FileMasks = {"gif, Saved", "jpg, Saved", "jpeg, Saved", "png, Saved"};
    task->Options.EnableFileLimit = false;
    task->Options.TimeOut = 30;
  }
  ~EngineTest() override {
    task->Stop();
    server.ReleaseStalls();
    EXPECT_TRUE(TTaskThread::WaitForAll(std::chrono::seconds(30)));
    loop->ProcessPending();  // drops the calls of stopped workers, which hold the task
  }

  void SetStart(const std::string& path) { task->URL.SetURI(server.Url(path)); }

  // Starts the task and runs the loop until the run ends by itself.
  void Run() {
    task->Start();
    RunUntilStopped();
  }
  void RunUntilStopped() {
    ASSERT_TRUE(loop->ProcessUntil([&] { return task->Stopped(); },
                                   std::chrono::steady_clock::now() + std::chrono::seconds(120)))
        << "the run did not end";
  }
  // Waits until every worker thread has returned, then runs what they left in
  // the queue.
  void Drain() {
    ASSERT_TRUE(TTaskThread::WaitForAll(std::chrono::seconds(30)));
    loop->ProcessPending();
  }

  std::set<std::string> FilesIn(const std::string& folder) const {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir / folder, ec))
      names.insert(entry.path().filename().string());
    return names;
  }

  TempDir dir;
  TestServer server;
  std::shared_ptr<TEventLoop> loop = std::make_shared<TEventLoop>();
  RecordingViews views;
  std::shared_ptr<TTask> task = std::make_shared<TTask>();
  int finished = 0;
};

// A body of n bytes.
inline std::string Bytes(std::size_t n) { return std::string(n, 'b'); }

}  // namespace vdk::test
