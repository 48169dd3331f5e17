// Many adders at once, and the add-image workers' queue and stop.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <future>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "library/add_image.h"
#include "library/add_image_thread_list.h"
#include "library/image_library.h"
#include "picture_files.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

// Pictures and non-pictures of different sizes.
std::vector<std::string> MakeFiles(const test::TempDir& dir, int count) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    const bool picture = i % 3 != 0;
    paths.push_back(dir / ("file" + std::to_string(i) + (picture ? ".png" : ".txt")));
    test::WriteFile(paths.back(), picture ? test::EncodePicture("png", 8 + i, 4 + i) : std::string(i * 50, 't'));
  }
  return paths;
}

// Every path exactly once, each record complete.
void ExpectOneCompleteRecordPerPath(const TImageLibrary& library, const std::vector<std::string>& paths) {
  ASSERT_EQ(library.Count(), static_cast<int>(paths.size()));
  std::set<std::string> names;
  for (int i = 0; i < library.Count(); ++i) {
    const TImageDetailPtr detail = library.Items(i);
    names.insert(detail->FileName);
    EXPECT_NE(detail->AddedTime, 0.0);
    const bool picture = detail->FileName.ends_with(".png");
    EXPECT_EQ(detail->Width > 0, picture) << detail->FileName;
  }
  EXPECT_EQ(names, std::set<std::string>(paths.begin(), paths.end()));
}

TEST(LibraryThreads, ManyAddersOfTheSamePathsMakeOneRecordEach) {
  test::TempDir dir;
  const std::vector<std::string> paths = MakeFiles(dir, 30);
  TImageLibrary library;
  std::vector<std::thread> adders;
  for (unsigned seed = 0; seed < 8; ++seed) {
    adders.emplace_back([&library, &paths, seed] {
      std::vector<std::string> order = paths;
      std::shuffle(order.begin(), order.end(), std::mt19937(seed));
      for (const std::string& path : order) AddImageToLibrary(library, path);
    });
  }
  for (std::thread& adder : adders) adder.join();
  ExpectOneCompleteRecordPerPath(library, paths);
}

TEST(LibraryThreads, WorkersCatalogueEveryQueuedFileOnce) {
  test::TempDir dir;
  const std::vector<std::string> paths = MakeFiles(dir, 30);
  TImageLibrary library;
  TAddImageThreadList workers(library, 3);
  EXPECT_EQ(workers.Count(), 3);
  for (int round = 0; round < 3; ++round)
    for (const std::string& path : paths) EXPECT_TRUE(workers.Queue(path));
  EXPECT_TRUE(workers.Queue(dir / "missing.png"));  // fails quietly
  workers.WaitUntilIdle();
  ExpectOneCompleteRecordPerPath(library, paths);
}

// Work that holds its worker until the test opens the gate.
class GatedWork {
 public:
  void operator()(const std::string&, std::stop_token stop) {
    std::unique_lock lock(mutex_);
    if (++calls_ == 1) started_.set_value();
    changed_.wait(lock, [this] { return open_; });
    stoppedWhileBusy_ = stop.stop_requested();
  }
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  std::future<void> Started() { return started_.get_future(); }
  int Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  bool StoppedWhileBusy() {
    std::lock_guard lock(mutex_);
    return stoppedWhileBusy_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::promise<void> started_;
  bool open_ = false;
  int calls_ = 0;
  bool stoppedWhileBusy_ = false;
};

TEST(LibraryThreads, StopReturnsWhileAWorkerIsBusyAndDropsTheQueue) {
  GatedWork work;
  std::future<void> started = work.Started();
  {
    TAddImageThreadList workers([&work](const std::string& path, std::stop_token stop) { work(path, stop); }, 1);
    ASSERT_TRUE(workers.Queue("/first"));
    started.wait();
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(workers.Queue("/queued" + std::to_string(i)));
    workers.Stop();  // the worker is still held at the gate
    EXPECT_FALSE(workers.Queue("/late"));
    workers.WaitUntilIdle();
    work.Open();
  }
  EXPECT_EQ(work.Calls(), 1);
  EXPECT_TRUE(work.StoppedWhileBusy());
}

TEST(LibraryThreads, FullQueueRefusesNewPaths) {
  GatedWork work;
  std::future<void> started = work.Started();
  TAddImageThreadList workers([&work](const std::string& path, std::stop_token stop) { work(path, stop); }, 1, 2);
  ASSERT_TRUE(workers.Queue("/taken"));
  started.wait();
  EXPECT_TRUE(workers.Queue("/a"));
  EXPECT_TRUE(workers.Queue("/b"));
  EXPECT_FALSE(workers.Queue("/c"));
  work.Open();
}

}  // namespace
}  // namespace vdk
