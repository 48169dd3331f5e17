// A crawl with a busy main thread against one with a free main thread.
//
// The main thread of a desktop window has its own work: every time it gets
// to the workers' calls, it may have spent a while painting. Here the main
// thread spends DELAY_MS (5) on every delivery it takes from the workers
// before running it, and the crawl's wall time is compared with that of the
// same crawl whose main thread is free. The task is displayed and has a rows
// view, a log and a saved-files view, as in the window; the size filter is
// off (every picture saved, no HEAD), which gives the most calls per second.
//
// usage: busy_gui_bench START_URL OUT_DIR [REPS [DELAY_MS]]
//   START_URL  a site served on 127.0.0.1 (the medium site of the crawl kit:
//              http://www.site.test:18080/index.html)
//   OUT_DIR    emptied before every run (put it on tmpfs: /dev/shm/...)
// Runs alternate free and busy REPS (3) times each and print every run, the
// medians and their ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "core/model/task_factory.h"
#include "core/run/event_loop.h"
#include "core/run/task_thread.h"
#include "core/run/views.h"

namespace {

using Clock = std::chrono::steady_clock;

// A main thread that is busy for a while before it gets to each delivery.
class TBusyLoop : public vdk::TEventLoop {
 public:
  explicit TBusyLoop(std::chrono::milliseconds delay) : delay_(delay) {}
  bool Post(std::function<void()> fn) override {
    ++deliveries;
    return TEventLoop::Post([this, fn = std::move(fn)] {
      if (delay_.count() > 0) std::this_thread::sleep_for(delay_);
      fn();
    });
  }
  long deliveries = 0;

 private:
  std::chrono::milliseconds delay_;
};

// Views that keep what a window keeps (rows by item, counts of the rest).
struct TCountingViews : vdk::TItemsView, vdk::TLogView, vdk::TImagesView {
  std::unordered_set<const vdk::TTaskItem*> rows;
  long lines = 0, files = 0, progress = 0;

  void AddRow(const vdk::TTaskItem* item, int, const std::array<std::string, 5>&) override { rows.insert(item); }
  void RemoveRow(const vdk::TTaskItem* item) override { rows.erase(item); }
  void ClearRows() override { rows.clear(); }
  void SetRowImage(const vdk::TTaskItem*, int) override {}
  void SetRowProgress(const vdk::TTaskItem*, const std::string&, const std::string&) override { ++progress; }
  void AppendLine(const std::string&) override { ++lines; }
  void AddFileRow(const std::string&, const std::string&, const std::string&, const std::string&) override { ++files; }
};

struct TResult {
  double seconds = 0;
  int saved = 0;
  long deliveries = 0;
};

TResult Crawl(const std::string& url, const std::string& out, std::chrono::milliseconds delay) {
  std::filesystem::remove_all(out);
  std::filesystem::create_directories(out);
  vdk::TRegOptions defaults;
  defaults.DefaultFolder = out;
  defaults.FileMasks = {"gif, Saved", "jpg, Saved", "jpeg, Saved", "png, Saved"};
  auto task = vdk::NewTask("bench", url, defaults, out);
  task->FileName.clear();
  task->Options.EnableFileLimit = false;
  task->Options.TimeOut = 30;
  auto loop = std::make_shared<TBusyLoop>(delay);
  TCountingViews views;
  task->Synchronizer = loop;
  task->ItemsView = &views;
  task->LogView = &views;
  task->ImagesView = &views;
  task->Displayed = true;

  const auto start = Clock::now();
  task->Start();
  loop->ProcessUntil([&] { return task->Stopped(); });
  TResult result{std::chrono::duration<double>(Clock::now() - start).count(), task->SavedCount(), loop->deliveries};
  vdk::TTaskThread::WaitForAll(std::chrono::seconds(30));
  loop->ProcessPending();
  return result;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s START_URL OUT_DIR [REPS [DELAY_MS]]\n", argv[0]);
    return 2;
  }
  const std::string url = argv[1];
  const std::string out = argv[2];
  const int reps = argc > 3 ? std::atoi(argv[3]) : 3;
  const std::chrono::milliseconds delay(argc > 4 ? std::atoi(argv[4]) : 5);

  std::vector<double> freeRuns, busyRuns;
  for (int rep = 0; rep < reps; ++rep) {
    for (const bool isBusy : {false, true}) {
      const TResult r = Crawl(url, out, isBusy ? delay : std::chrono::milliseconds(0));
      (isBusy ? busyRuns : freeRuns).push_back(r.seconds);
      std::printf("%-4s run %d: %6.2f s, %d files saved, %ld deliveries to the main thread\n", isBusy ? "busy" : "free",
                  rep + 1, r.seconds, r.saved, r.deliveries);
      std::fflush(stdout);
    }
  }
  std::filesystem::remove_all(out);
  const double ratio = Median(busyRuns) / Median(freeRuns);
  std::printf("median free %.2f s, busy (%lld ms per delivery) %.2f s: %.2fx\n", Median(freeRuns),
              static_cast<long long>(delay.count()), Median(busyRuns), ratio);
  return 0;
}
