// Run control: starting, refilling, stopping and resuming a task's workers,
// and the guarantees of a stop, against the local test server.

#include <atomic>
#include <condition_variable>
#include <random>
#include <sstream>

#include "core/run/partial_files.h"
#include "engine_fixture.h"

namespace vdk::test {
namespace {

// Answers held back per path until the test lets them go. The main thread
// waits for them through its event loop, which workers need meanwhile, so
// every change also wakes the loop.
class Gates {
 public:
  explicit Gates(std::shared_ptr<TEventLoop> loop) : loop_(std::move(loop)) {}
  ~Gates() { OpenAll(); }
  void Wait(const std::string& path) {
    std::unique_lock lock(mutex_);
    ++waiting_;
    ++arrived_;
    loop_->Post([] {});
    cv_.notify_all();
    cv_.wait(lock, [&] { return all_ || open_.count(path) != 0; });
    --waiting_;
  }
  // Waits without running the event loop until n answers have come to their
  // gate (at most 30 s, so that a broken engine fails instead of hanging).
  bool WaitArrived(int n) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(30), [&] { return arrived_ >= n; });
  }
  void Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    open_.insert(path);
    cv_.notify_all();
  }
  void OpenAll() {
    std::lock_guard lock(mutex_);
    all_ = true;
    cv_.notify_all();
  }
  int Waiting() {
    std::lock_guard lock(mutex_);
    return waiting_;
  }

 private:
  std::shared_ptr<TEventLoop> loop_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::set<std::string> open_;
  bool all_ = false;
  int waiting_ = 0;
  int arrived_ = 0;
};

class RunControlTest : public EngineTest {
 protected:
  // Appends items for files served behind gates: the answer waits before its
  // headers, or, with partial, after the first bytes of its body.
  void AppendGatedFiles(int n, bool partial = false) {
    for (int i = 0; i < n; ++i) {
      const std::string path = "/f/" + std::to_string(i) + ".gif";
      server.Handle(path, [this, partial](const httplib::Request& req, httplib::Response& res) {
        if (!partial) {
          gates.Wait(req.path);
          res.set_content("data", "image/gif");
          return;
        }
        res.set_content_provider(1000, "image/gif",
                                 [this, path = req.path](std::size_t, std::size_t, httplib::DataSink& sink) {
                                   sink.write("0123456789", 10);
                                   gates.Wait(path);
                                   return false;
                                 });
      });
      auto item = std::make_shared<TTaskItem>(task.get(), server.Url(path));
      item->Depth = 1;
      task->Items.Append(item);
    }
  }
  // Appends pages without links served behind gates: a worker fetches one
  // without a call it must wait for.
  void AppendGatedPages(int n) {
    for (int i = 0; i < n; ++i) {
      const std::string path = "/p/" + std::to_string(i) + ".html";
      server.Handle(path, [this](const httplib::Request& req, httplib::Response& res) {
        gates.Wait(req.path);
        res.set_content("no links", "text/html");
      });
      auto item = std::make_shared<TTaskItem>(task.get(), server.Url(path));
      item->Depth = 1;
      task->Items.Append(item);
    }
  }
  void WaitForGated(int n) {
    ASSERT_TRUE(loop->ProcessUntil([&] { return gates.Waiting() >= n; },
                                   std::chrono::steady_clock::now() + std::chrono::seconds(60)));
  }
  void WaitForFinished(int n) {
    ASSERT_TRUE(loop->ProcessUntil([&] { return task->FinishedCount() >= n; },
                                   std::chrono::steady_clock::now() + std::chrono::seconds(60)));
  }
  int Gets() const {
    int n = 0;
    for (const auto& r : server.Requests()) n += r.method == "GET" ? 1 : 0;
    return n;
  }
  // The task file's run-state field as the task would be saved now.
  char StoppedField() const {
    std::ostringstream out;
    task->SaveToStream(out);
    return out.str().at(5132);
  }
  std::set<std::string> Partials() const {
    std::set<std::string> out;
    for (const auto& name : FilesIn("Saved"))
      if (name.ends_with("!!wr")) out.insert(name);
    return out;
  }

  Gates gates{loop};
};

TEST_F(RunControlTest, StartsEightThenKeepsAtMostSevenRunning) {
  SetStart("/unused.html");
  AppendGatedFiles(20);
  task->Start();
  EXPECT_FALSE(task->Stopped());
  EXPECT_EQ(task->RunningCount(), 8);
  WaitForGated(8);

  gates.Open("/f/0.gif");
  WaitForFinished(1);
  EXPECT_EQ(task->RunningCount(), 7);  // no refill while seven run

  gates.Open("/f/1.gif");
  WaitForFinished(2);
  EXPECT_EQ(task->RunningCount(), 7);  // six ran, one more started
  EXPECT_TRUE(task->Items.Items(8)->Running());
  EXPECT_FALSE(task->Items.Items(9)->Running());
  WaitForGated(7);
  EXPECT_EQ(Gets(), 9);

  gates.OpenAll();
  RunUntilStopped();
  EXPECT_EQ(task->FinishedCount(), 20);
  EXPECT_EQ(finished, 1);
}

// The main thread is held back all along (its loop is not run): a worker
// that ends takes the next waiting item itself, within the limit.
TEST_F(RunControlTest, WorkersRefillTheirSlotsWhileTheMainThreadIsHeldBack) {
  constexpr int kPages = 30;
  std::mutex lock;
  std::condition_variable answered;
  int answers = 0;
  int mostRunning = 0;
  for (int i = 0; i < kPages; ++i) {
    const std::string path = "/p/" + std::to_string(i) + ".html";
    server.Handle(path, [&](const httplib::Request&, httplib::Response& res) {
      res.set_content("no links", "text/html");
      std::lock_guard guard(lock);
      mostRunning = std::max(mostRunning, task->RunningCount());
      ++answers;
      answered.notify_all();
    });
    auto item = std::make_shared<TTaskItem>(task.get(), server.Url(path));
    item->Depth = 1;
    task->Items.Append(item);
  }
  SetStart("/unused.html");
  task->ShowItems();
  task->Start();
  {
    std::unique_lock guard(lock);
    ASSERT_TRUE(answered.wait_for(guard, std::chrono::seconds(30), [&] { return answers == kPages; }))
        << answers << " of " << kPages << " pages fetched";
    EXPECT_LE(mostRunning, 8);
  }
  EXPECT_FALSE(task->Stopped());  // the run ends on the main thread

  RunUntilStopped();  // the main thread catches up
  EXPECT_EQ(task->FinishedCount(), kPages);
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(views.rows.empty());
  EXPECT_EQ(views.Count("Links found : 0"), kPages);
}

// Pages 0 to 3 end while the main thread is held back; their workers start
// pages 8 to 10 (seven run again). A stop comes before the main thread has
// heard of any of it.
TEST_F(RunControlTest, AStopBeforeTheMainThreadHeardOfTheRefillsEndsThemAndTheRowsFollowTheItems) {
  SetStart("/unused.html");
  AppendGatedPages(12);
  task->ShowItems();
  task->Start();
  ASSERT_TRUE(gates.WaitArrived(8));
  for (int i = 0; i < 4; ++i) gates.Open("/p/" + std::to_string(i) + ".html");
  ASSERT_TRUE(gates.WaitArrived(11));
  EXPECT_EQ(task->RunningCount(), 7);

  task->Stop();
  EXPECT_EQ(task->RunningCount(), 0);
  gates.OpenAll();
  Drain();  // the stopped workers start nothing; the main thread hears of the ended passes
  EXPECT_EQ(Gets(), 11);
  EXPECT_EQ(task->FinishedCount(), 4);
  EXPECT_EQ(task->Items.WaitingCount(), 8);
  EXPECT_EQ(finished, 0);
  EXPECT_EQ(views.rows.size(), 8u);
  for (int i = 0; i < 12; ++i) {
    const TTaskItem* item = task->Items.Items(i).get();
    EXPECT_EQ(views.rows.count(item), i < 4 ? 0u : 1u) << i;
    if (i >= 8) {
      EXPECT_EQ(views.rows[item].image, 0) << i;  // never shown running
    }
  }
}

TEST_F(RunControlTest, ANewTaskStartsFromItsUrlAndFinishesOnce) {
  server.Serve("/lonely.html", {.body = "no links here"});
  SetStart("/lonely.html");
  std::vector<std::string> events;
  task->OnStarted = [&](TTask& t) { events.push_back(t.Stopped() ? "started, stopped" : "started"); };
  task->OnFinished = [&](TTask& t) {
    ++finished;
    events.push_back(t.Stopped() ? "finished" : "finished, running");
  };
  Run();
  ASSERT_EQ(task->Items.Count(), 1);
  EXPECT_EQ(task->Items.Items(0)->Depth, 0);
  EXPECT_TRUE(task->Items.Items(0)->Done());
  EXPECT_EQ(task->RunningCount(), 0);
  EXPECT_EQ(finished, 1);

  // Every item done: a start runs nothing and ends at once.
  EXPECT_TRUE(task->AllDone());
  task->Start();
  EXPECT_TRUE(task->Stopped());
  EXPECT_EQ(events, (std::vector<std::string>{"started", "finished", "started", "finished"}));
}

TEST_F(RunControlTest, StopLeavesNothingBehindAndTheNextStartResumes) {
  SetStart("/unused.html");
  AppendGatedFiles(5, /*partial=*/true);
  task->Start();
  WaitForGated(5);
  EXPECT_EQ(Partials().size(), 5u);
  EXPECT_EQ(StoppedField(), 0);  // written as it is

  task->Stop();
  EXPECT_TRUE(task->Stopped());
  EXPECT_EQ(StoppedField(), 1);
  EXPECT_EQ(task->RunningCount(), 0);
  EXPECT_EQ(task->Items.WaitingCount(), 5);
  EXPECT_TRUE(Partials().empty());
  const auto log = views.log;
  const auto saved = views.savedRows.size();

  gates.OpenAll();
  Drain();  // whatever the stopped workers still do must not show
  EXPECT_EQ(views.log, log);
  EXPECT_EQ(views.savedRows.size(), saved);
  EXPECT_TRUE(Partials().empty());
  EXPECT_EQ(task->FinishedCount(), 0);
  EXPECT_EQ(finished, 0);

  for (int i = 0; i < 5; ++i)
    server.Handle("/f/" + std::to_string(i) + ".gif",
                  [](const auto&, auto& res) { res.set_content("complete", "image/gif"); });
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved").size(), 5u);
  EXPECT_EQ(task->FinishedCount(), 5);
  EXPECT_EQ(finished, 1);
}

TEST_F(RunControlTest, FinishRunSavesTheTaskAndDeletesOnlyUnownedPartials) {
  server.Serve("/index.html", {.body = "<img src=a.gif>"});
  server.Serve("/a.gif", {.body = Bytes(10)});
  SetStart("/index.html");
  task->FileName = dir / "task.wrp";
  std::filesystem::create_directories(dir / "Saved");
  WriteFile(dir / "Saved/old.jpg!!wr", "left by a crash");
  WriteFile(dir / "Saved/keep!.jpg", "a real file with a bang");
  const ReservedFile owned = CreatePartialFile(dir / "Saved/busy.jpg");  // a worker elsewhere
  Run();
  task->FinishRun();
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"a.gif", "keep!.jpg", "busy.jpg!!wr"}));
  ReleasePartialFile(owned.Temporary);
  ::close(owned.Fd);

  TTask loaded;
  loaded.LoadFromFile(dir / "task.wrp");
  EXPECT_EQ(loaded.Items.Count(), 2);
  EXPECT_EQ(loaded.FinishedCount(), 2);
}

// A crashed run's partial download would push the next run's file to "a[0].gif".
TEST_F(RunControlTest, AStartDeletesUnownedPartialsSoItsFilesKeepTheirNames) {
  server.Serve("/index.html", {.body = "<img src=a.gif>"});
  server.Serve("/a.gif", {.body = Bytes(10)});
  SetStart("/index.html");
  std::filesystem::create_directories(dir / "Saved");
  WriteFile(dir / "Saved/a.gif!!wr", "left by a crash");
  const ReservedFile owned = CreatePartialFile(dir / "Saved/busy.jpg");  // a worker elsewhere
  Run();
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"a.gif", "busy.jpg!!wr"}));
  EXPECT_EQ(ReadFile(dir / "Saved/a.gif"), Bytes(10));
  ReleasePartialFile(owned.Temporary);
  ::close(owned.Fd);
}

TEST_F(RunControlTest, RepeatedStartsAndStopsLeaveNoTraceOnASlowServer) {
  std::string page;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "/slow/" + std::to_string(i) + ".jpg";
    page += "<img src=\"" + name + "\">";
    server.Serve(name, {.body = Bytes(20000), .delay = std::chrono::milliseconds(5)});
  }
  server.Serve("/index.html", {.body = page, .delay = std::chrono::milliseconds(2)});
  SetStart("/index.html");
  std::mt19937 rng(11);
  for (int cycle = 0; cycle < 200; ++cycle) {
    if (cycle % 20 == 0)
      task->Restart();
    else if (task->Stopped())
      task->Start();
    loop->ProcessFor(std::chrono::microseconds(rng() % 8000));
    task->Stop();
    ASSERT_TRUE(Partials().empty()) << "cycle " << cycle;
  }
  const auto log = views.log;
  const auto rows = views.rows.size();
  const auto saved = views.savedRows.size();
  const auto files = FilesIn("Saved");
  const int savedCount = task->SavedCount();
  const int finishedCount = task->FinishedCount();
  Drain();
  EXPECT_EQ(views.log, log);
  EXPECT_EQ(views.rows.size(), rows);
  EXPECT_EQ(views.savedRows.size(), saved);
  EXPECT_EQ(FilesIn("Saved"), files);
  EXPECT_EQ(task->SavedCount(), savedCount);
  EXPECT_EQ(task->FinishedCount(), finishedCount);
  EXPECT_EQ(task->RunningCount(), 0);
  // Neither lock is held by a stopped worker.
  { auto scan = task->Items.LockScan(); }
  EXPECT_GE(task->Items.Count(), 1);
}

// A site of 2,000 pages: every page links to up to 50 more and to its own
// picture, plus one picture shared by all.
TEST_F(RunControlTest, ACrawlOfTwoThousandPagesAgreesWithWhatWasServed) {
  constexpr int kPages = 2000;
  for (int n = 0; n < kPages; ++n) {
    std::string body = "<html><body><img src=\"/img/shared.png\">";
    body += "<img src=\"/img/p" + std::to_string(n) + ".jpg\">";
    for (int child = n * 50 + 1; child <= n * 50 + 50 && child < kPages; ++child)
      body += "<a href=\"/pages/" + std::to_string(child) + ".html\">" + std::to_string(child) + "</a>";
    server.Serve("/pages/" + std::to_string(n) + ".html", {.body = body + "</body></html>"});
    server.Serve("/img/p" + std::to_string(n) + ".jpg", {.body = "picture " + std::to_string(n)});
  }
  server.Serve("/img/shared.png", {.body = "shared"});
  task->Displayed = false;  // as for a task crawling in the background
  task->FileName = dir / "site.wrp";
  SetStart("/pages/0.html");
  Run();
  task->FinishRun();
  Drain();

  std::set<std::string> expected{"shared.png"};
  for (int n = 0; n < kPages; ++n) expected.insert("p" + std::to_string(n) + ".jpg");
  EXPECT_EQ(FilesIn("Saved"), expected);
  EXPECT_EQ(ReadFile(dir / "Saved/p1234.jpg"), "picture 1234");
  EXPECT_EQ(task->SavedCount(), kPages + 1);
  EXPECT_EQ(task->Items.Count(), 2 * kPages + 1);
  EXPECT_EQ(task->FinishedCount(), task->Items.Count());
  EXPECT_EQ(views.Count("Links found : 52"), 39);  // pages 0..38 have 50 children
  EXPECT_TRUE(views.rows.empty());
  EXPECT_TRUE(views.savedRows.empty());  // not displayed

  TTask loaded;
  loaded.LoadFromFile(dir / "site.wrp");
  EXPECT_EQ(loaded.Items.Count(), task->Items.Count());
  EXPECT_EQ(loaded.FinishedCount(), loaded.Items.Count());
  EXPECT_EQ(loaded.SavedCount(), kPages + 1);
}

TEST_F(RunControlTest, RestartCrawlsAfreshBesideTheFilesSavedBefore) {
  // The start page of the second run is held until the test has looked.
  std::atomic<bool> holdStart{false};
  server.Handle("/index.html", [&](const httplib::Request& req, httplib::Response& res) {
    if (holdStart) gates.Wait(req.path);
    res.set_content("<img src=a.gif>", "text/html");
  });
  server.Serve("/a.gif", {.body = Bytes(10)});
  SetStart("/index.html");
  int started = 0;
  task->OnStarted = [&](TTask&) { ++started; };
  Run();
  EXPECT_TRUE(task->AllDone());
  EXPECT_EQ(task->SavedCount(), 1);

  holdStart = true;
  task->Restart();
  EXPECT_EQ(started, 2);
  EXPECT_FALSE(task->Stopped());
  ASSERT_EQ(task->Items.Count(), 1);  // the start URL alone, at depth 0
  EXPECT_EQ(task->Items.Items(0)->Depth, 0);
  EXPECT_EQ(task->FinishedCount(), 0);
  EXPECT_EQ(task->SavedCount(), 0);
  gates.OpenAll();
  RunUntilStopped();
  Drain();
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 2);
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"a.gif", "a[0].gif"}));
  EXPECT_EQ(task->SavedCount(), 1);
  EXPECT_EQ(task->FinishedCount(), 2);
  EXPECT_EQ(finished, 2);
}

TEST_F(RunControlTest, RestartOfARunningTaskStopsItAndClearsTheRowsOfTheDisplayedTask) {
  // The start page of the second run is held until the test has looked.
  std::atomic<bool> holdStart{false};
  server.Handle("/start.html", [&](const httplib::Request& req, httplib::Response& res) {
    if (holdStart) gates.Wait(req.path);
    res.set_content("no links", "text/html");
  });
  SetStart("/start.html");
  AppendGatedFiles(10);
  task->Start();
  WaitForGated(8);
  task->ShowItems();
  EXPECT_EQ(views.rows.size(), 10u);

  holdStart = true;
  task->Restart();
  EXPECT_FALSE(task->Stopped());
  EXPECT_EQ(task->Items.Count(), 1);
  EXPECT_EQ(task->RunningCount(), 1);
  ASSERT_EQ(views.rows.size(), 1u);
  EXPECT_EQ(views.rows.begin()->second.cells[0], server.Url("/start.html"));
  EXPECT_EQ(views.rows.begin()->second.image, 1);
  gates.OpenAll();  // the stopped workers' answers go nowhere
  RunUntilStopped();
  Drain();
  EXPECT_EQ(task->FinishedCount(), 1);
  EXPECT_EQ(finished, 1);

  // Not displayed: the items view shows another task's rows, which stay.
  task->Displayed = false;
  views.rows[nullptr] = {};
  task->Restart();
  RunUntilStopped();
  EXPECT_EQ(views.rows.count(nullptr), 1u);
}

TEST_F(RunControlTest, ShowItemsListsTheItemsNotDoneInOneBatch) {
  for (const char* path : {"/a.gif", "/b.gif", "/c.gif"})
    task->Items.Append(std::make_shared<TTaskItem>(task.get(), server.Url(path)));
  task->Items.Items(1)->SetDone(true);
  views.rows[nullptr] = {};  // a row left from another task
  task->ShowItems();
  EXPECT_EQ(views.rows.size(), 2u);
  EXPECT_EQ(views.lastBatch, (std::vector<const TTaskItem*>{task->Items.Items(0).get(), task->Items.Items(2).get()}));
  EXPECT_EQ(views.rows[task->Items.Items(2).get()].cells,
            (std::array<std::string, 5>{server.Url("/c.gif"), ".gif", "---", "-1", "---"}));
}

TEST_F(RunControlTest, AWorkerKeepsTheSynchronizerItWasStartedWith) {
  SetStart("/unused.html");
  AppendGatedFiles(1);
  task->Start();
  WaitForGated(1);
  const std::shared_ptr<TEventLoop> kept = loop;
  task->Synchronizer.reset();  // the owner lets go of it while the worker runs
  gates.OpenAll();
  RunUntilStopped();  // the saved file and the worker's end still arrive
  EXPECT_EQ(task->FinishedCount(), 1);
  EXPECT_EQ(task->SavedCount(), 1);
  EXPECT_EQ(views.savedRows.size(), 1u);
}

}  // namespace
}  // namespace vdk::test
