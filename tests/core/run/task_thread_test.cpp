// The download worker end to end against the local test server.

#include <sys/inotify.h>
#include <unistd.h>

#include <future>
#include <mutex>

#include "engine_fixture.h"

namespace vdk::test {
namespace {

using namespace std::string_literals;

std::string Link(const std::string& target) { return "<a href=\"" + target + "\">x</a>\n"; }
std::string Img(const std::string& target) { return "<img src=\"" + target + "\">\n"; }

class WorkerTest : public EngineTest {};

TEST_F(WorkerTest, DepthLimitFetchesPagesBelowSeekDeepAndFilesAtAnyDepth) {
  // p0 -> p1 -> ... -> p6, each page with its own picture.
  for (int i = 0; i <= 6; ++i) {
    server.Serve("/p" + std::to_string(i) + ".html",
                 {.body = Link("p" + std::to_string(i + 1) + ".html") + Img("i" + std::to_string(i) + ".gif")});
    server.Serve("/i" + std::to_string(i) + ".gif", {.body = Bytes(100)});
  }
  SetStart("/p0.html");
  Run();
  Drain();
  for (int i = 0; i <= 6; ++i) {
    EXPECT_EQ(server.CountRequests("GET", "/p" + std::to_string(i) + ".html"), i <= 4 ? 1 : 0) << i;
    // Pictures of pages 0..4 are at depths 1..5 and saved.
    EXPECT_EQ(server.CountRequests("GET", "/i" + std::to_string(i) + ".gif"), i <= 4 ? 1 : 0) << i;
  }
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"i0.gif", "i1.gif", "i2.gif", "i3.gif", "i4.gif"}));
  EXPECT_EQ(task->Items.IndexOfURL(server.Url("/p5.html")) >= 0, true);  // found, at depth 5, not fetched
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(task->SavedCount(), 5);
  EXPECT_EQ(task->FinishedCount(), task->Items.Count());
}

TEST_F(WorkerTest, DepthZeroNeverFetchesTheStartPageButSavesAStartFile) {
  server.Serve("/index.html", {.body = Img("a.gif")});
  task->Options.SeekDeep = 0;
  SetStart("/index.html");
  Run();
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 0);

  server.Serve("/direct.jpg", {.body = Bytes(10)});
  task->Items.Clear();
  SetStart("/direct.jpg");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"direct.jpg"});
}

TEST_F(WorkerTest, MasksDecideWhatIsSavedAndWhere) {
  server.Serve("/a/index.html", {.body = Img("pic.JPG") + Img("x.bmp") + Link("news") + Link("/")});
  server.Serve("/a/pic.JPG", {.body = Bytes(20)});
  server.Serve("/a/x.bmp", {.body = Bytes(20)});
  server.Serve("/a/news", {.body = "news\r\nline two\n\0ignored"s});
  server.Serve("/", {.body = "root\rpage"});
  SetStart("/a/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"pic.JPG"});
  EXPECT_EQ(FilesIn("Pages"), std::set<std::string>{});
  EXPECT_EQ(server.CountRequests("GET", "/a/x.bmp"), 0);  // no mask for bmp

  task->Items.Clear();
  task->Options.FileMasks.push_back("html, Pages");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Pages"), (std::set<std::string>{"index.html", "news.html", "index[0].html"}));
  EXPECT_EQ(ReadFile(dir / "Pages/news.html"), "news\r\nline two\r\n");
  EXPECT_EQ(ReadFile(dir / "Pages/index[0].html"), "root\r\npage\r\n");
}

TEST_F(WorkerTest, ExcludedNamesAreComparedWithoutCase) {
  server.Serve("/index.html", {.body = Img("a/logo.gif") + Img("b/Logo.GIF") + Img("a/logo2.gif")});
  for (const char* path : {"/a/logo.gif", "/b/Logo.GIF", "/a/logo2.gif"}) server.Serve(path, {.body = Bytes(5)});
  task->Options.ExcludeFiles = {"LOGO.gif"};
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"logo2.gif"});
  EXPECT_EQ(server.CountRequests("GET", "/a/logo.gif") + server.CountRequests("GET", "/b/Logo.GIF"), 0);
}

TEST_F(WorkerTest, SizeFilterIsStrictAndRefusesUnknownLengths) {
  server.Serve("/index.html",
               {.body = Img("exact.jpg") + Img("over.jpg") + Img("max.jpg") + Img("nolen.jpg") + Img("lies.jpg")});
  server.Serve("/exact.jpg", {.body = Bytes(10240)});
  server.Serve("/over.jpg", {.body = Bytes(10241)});
  server.Serve("/max.jpg", {.body = Bytes(10240 * 1024)});
  server.Serve("/nolen.jpg", {.body = Bytes(20000), .headWithoutLength = true});
  // Announces 20000 bytes in HEAD, then sends far more than the limit.
  server.Handle("/lies.jpg", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.method == "HEAD" ? Bytes(20000) : Bytes(200 * 1024), "image/jpeg");
  });
  task->Options.EnableFileLimit = true;
  task->Options.FileMinSize = 10;
  task->Options.FileMaxSize = 100;
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"over.jpg"});
  EXPECT_EQ(server.CountRequests("HEAD", "/exact.jpg"), 1);
  EXPECT_EQ(server.CountRequests("GET", "/exact.jpg"), 0);
  EXPECT_EQ(server.CountRequests("GET", "/nolen.jpg"), 0);
  EXPECT_EQ(server.CountRequests("GET", "/lies.jpg"), 1);  // fetched, cut off, deleted

  task->Options.FileMaxSize = 10240;
  task->Items.Clear();
  std::filesystem::remove_all(dir / "Saved");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"over.jpg", "lies.jpg"}));
  EXPECT_EQ(server.CountRequests("GET", "/max.jpg"), 0);
}

TEST_F(WorkerTest, NoHeadRequestWhenTheFilterIsOff) {
  server.Serve("/index.html", {.body = Img("a.gif")});
  server.Serve("/a.gif", {.body = Bytes(1)});
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(server.CountRequests("GET", "/a.gif"), 1);
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"a.gif"});
  for (const auto& request : server.Requests()) EXPECT_NE(request.method, "HEAD") << request.path;
}

TEST_F(WorkerTest, MakesTheMaskFolderWithEveryMissingParent) {
  server.Serve("/index.html", {.body = Img("a.gif")});
  server.Serve("/a.gif", {.body = Bytes(10)});
  task->Options.DefaultFolder = dir / "not/yet/there/";
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(ReadFile(dir / "not/yet/there/Saved/a.gif"), Bytes(10));
  EXPECT_EQ(task->SavedCount(), 1);
}

TEST_F(WorkerTest, AFolderThatCannotBeMadeIsALoggedFailureOfTheItem) {
  server.Serve("/index.html", {.body = Img("a.gif")});
  server.Serve("/a.gif", {.body = Bytes(10)});
  task->Options.FileMasks.push_back("html, Pages");
  WriteFile(dir / "plain", "a file, not a folder");
  task->Options.DefaultFolder = dir / "plain/sub/";
  SetStart("/index.html");
  Run();
  Drain();
  // The page is still scanned; the picture is not fetched for nothing.
  EXPECT_EQ(views.Count("Failed: Cannot create the folder \"" + dir / "plain/sub/Pages" + "\": Not a directory"), 1);
  EXPECT_EQ(views.Count("Failed: Cannot create the folder \"" + dir / "plain/sub/Saved" + "\": Not a directory"), 1);
  EXPECT_EQ(server.CountRequests("GET", "/a.gif"), 0);
  EXPECT_EQ(task->FinishedCount(), 2);
  EXPECT_EQ(task->SavedCount(), 0);
  EXPECT_EQ(task->FailedSaveCount(), 2);
  EXPECT_EQ(task->NoRoomFailure(), "");  // not a full disk: the run goes on
  EXPECT_EQ(finished, 1);
}

// Closing a partial file drops its lock, which tells another process's
// clean-up that nobody writes it: it must have its final name by then.
TEST_F(WorkerTest, ADownloadHasItsFinalNameBeforeItsFileIsClosed) {
  server.Serve("/a.gif", {.body = Bytes(3000)});
  SetStart("/a.gif");
  std::filesystem::create_directories(dir / "Saved");
  const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  ASSERT_GE(::inotify_add_watch(watch, (dir / "Saved").c_str(), IN_CLOSE_WRITE), 0);
  Run();
  Drain();
  std::vector<std::string> closed;
  alignas(inotify_event) char events[4096];
  for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;) {
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      if (event->len > 0) closed.emplace_back(event->name);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  ::close(watch);
  EXPECT_EQ(closed, std::vector<std::string>{"a.gif"});
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"a.gif"});
}

// The main thread here runs none of the calls the worker hands over until
// the worker has saved its file: log lines and progress cells must not wait.
TEST_F(WorkerTest, LogLinesAndProgressCellsNeverWaitForTheMainThread) {
  server.Serve("/big.gif", {.body = Bytes(300000)});
  SetStart("/big.gif");
  task->Start();
  ASSERT_TRUE(views.WaitQueued(1)) << "the worker waited for the main thread";
  RunUntilStopped();
  Drain();
  EXPECT_EQ(views.log, (std::vector<std::string>{"Saving file \"big.gif!!wr\"", "File \"big.gif\" saved"}));
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"big.gif"});
}

// A view that only counts saved files does not hold the worker up: its pass
// ends while the main thread runs nothing, and the count and the log follow.
TEST_F(WorkerTest, ASavedFilesTallyNeverWaitsForTheMainThread) {
  struct Tally : TImagesView {
    Tally() : TImagesView(TMode::Tally) {}
    std::vector<std::string> paths;
    void AddFileRow(const std::string&, const std::string&, const std::string&, const std::string& path) override {
      paths.push_back(path);
    }
  } tally;
  task->ImagesView = &tally;
  server.Serve("/a.gif", {.body = Bytes(3000)});
  SetStart("/a.gif");
  task->Start();
  ASSERT_TRUE(TTaskThread::WaitForAll(std::chrono::seconds(30))) << "the worker waited for the main thread";
  RunUntilStopped();
  EXPECT_EQ(tally.paths, std::vector<std::string>{dir / "Saved/a.gif"});
  EXPECT_EQ(views.log, (std::vector<std::string>{"Saving file \"a.gif!!wr\"", "File \"a.gif\" saved"}));
}

TEST_F(WorkerTest, TheScanLockIsFreeWhileAWorkerWaitsForItsRows) {
  // Rows are synchronous: while they are added, the worker that found the
  // links waits for the main thread, which may need the scan lock itself.
  struct Views : RecordingViews {
    TTask* task = nullptr;
    std::vector<bool> scanLockFree;
    void AddRow(const TTaskItem* item, int image, const std::array<std::string, 5>& cells) override {
      scanLockFree.push_back(task->Items.TryLockScan().owns_lock());
      RecordingViews::AddRow(item, image, cells);
    }
  } rowViews;
  rowViews.task = task.get();
  task->ItemsView = &rowViews;
  server.Serve("/index.html", {.body = Img("a.gif") + Img("b.gif") + Link("next.html")});
  for (const char* path : {"/a.gif", "/b.gif", "/next.html"}) server.Serve(path, {.body = Bytes(10)});
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(rowViews.scanLockFree, std::vector<bool>(4, true));  // the start row, then the page's three
}

TEST_F(WorkerTest, SameNamesGetCountersAndTheLogShowsBothNames) {
  server.Serve("/index.html", {.body = Img("a/pic.jpg") + Img("b/pic.jpg") + Img("c/pic.jpg")});
  for (const char* p : {"/a/pic.jpg", "/b/pic.jpg", "/c/pic.jpg"}) server.Serve(p, {.body = std::string(p)});
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"pic.jpg", "pic[0].jpg", "pic[1].jpg"}));
  std::set<std::string> bodies;
  for (const char* name : {"pic.jpg", "pic[0].jpg", "pic[1].jpg"}) bodies.insert(ReadFile(dir / ("Saved/"s + name)));
  EXPECT_EQ(bodies, (std::set<std::string>{"/a/pic.jpg", "/b/pic.jpg", "/c/pic.jpg"}));
  EXPECT_EQ(views.Count("File \"pic.jpg\" saved") + views.Count("File \"pic[0].jpg\" saved") +
                views.Count("File \"pic[1].jpg\" saved"),
            3);
  // Each file was announced under its partial name first.
  const auto saving = std::find(views.log.begin(), views.log.end(), "Saving file \"pic.jpg!!wr\"");
  ASSERT_NE(saving, views.log.end());
  EXPECT_LT(saving - views.log.begin(),
            std::find(views.log.begin(), views.log.end(), "File \"pic.jpg\" saved") - views.log.begin());
  EXPECT_EQ(views.queued.size(), 3u);
}

TEST_F(WorkerTest, LogLinesAndRowsAreWordForWord) {
  server.Serve("/index.html", {.body = Img("big.gif") + Img("small.gif") + Img("big.gif")});
  server.Serve("/big.gif", {.body = Bytes(5000)});
  server.Serve("/small.gif", {.body = Bytes(1023)});
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(views.log.front(), "Attach \"" + server.Url("/index.html") + "\"");
  EXPECT_EQ(views.Count("Links found : 3"), 1);  // duplicates are counted, not added
  EXPECT_EQ(task->Items.Count(), 3);
  std::map<std::string, std::string> sizes;
  for (const auto& row : views.savedRows) {
    EXPECT_EQ(row[1], ".gif");
    EXPECT_EQ(row[3], dir / ("Saved/" + row[0]));
    sizes[row[0]] = row[2];
  }
  EXPECT_EQ(sizes, (std::map<std::string, std::string>{{"big.gif", "4 KB"}, {"small.gif", "0 KB"}}));
  EXPECT_TRUE(views.rows.empty());  // every finished item's row is gone
}

TEST_F(WorkerTest, CredentialsInTheStartURLAreInNoLogLineOrRow) {
  server.Serve("/index.html", {.body = Img("a.gif")});
  server.Serve("/a.gif", {.status = 404});
  task->URL.SetURI("http://ann:pw1234@" + server.Host() + "/index.html");
  std::vector<std::string> cells;
  task->Start();
  for (const auto& [item, row] : views.rows) cells.insert(cells.end(), row.cells.begin(), row.cells.end());
  RunUntilStopped();
  Drain();
  EXPECT_EQ(views.log.front(), "Attach \"" + server.Url("/index.html") + "\"");
  ASSERT_FALSE(cells.empty());
  for (const auto& line : views.log) EXPECT_EQ(line.find("pw1234"), std::string::npos) << line;
  for (const auto& cell : cells) EXPECT_EQ(cell.find("pw1234"), std::string::npos) << cell;
}

TEST_F(WorkerTest, AFragmentOnlyLinkIsThePageItselfNotItsFolder) {
  server.Serve("/chain/c1.html", {.body = Link("#top") + Link("#") + Link("c2.html#x")});
  server.Serve("/chain/c2.html", {.body = ""});
  SetStart("/chain/c1.html");
  Run();
  Drain();
  EXPECT_EQ(server.CountRequests("GET", "/chain"), 0);
  EXPECT_EQ(server.CountRequests("GET", "/chain/"), 0);
  EXPECT_EQ(task->Items.IndexOfURL(server.Url("/chain")), -1);
  EXPECT_EQ(server.CountRequests("GET", "/chain/c2.html"), 1);
  EXPECT_EQ(task->Items.Count(), 2);
}

TEST_F(WorkerTest, RetryWithSlashScansAgainstTheSlashForm) {
  server.Serve("/dir/", {.body = Img("in-dir.gif")});  // "/dir" itself answers 404
  server.Serve("/dir/in-dir.gif", {.body = Bytes(3)});
  SetStart("/dir");
  Run();
  Drain();
  EXPECT_EQ(server.CountRequests("GET", "/dir"), 1);
  EXPECT_EQ(server.CountRequests("GET", "/dir/"), 1);
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"in-dir.gif"});
}

TEST_F(WorkerTest, RedirectedPagesResolveAgainstTheirFinalAddress) {
  server.Serve("/old.html", {.status = 301, .headers = {{"Location", "/gallery/new.html"}}});
  server.Serve("/gallery/new.html", {.body = Img("pic.gif")});
  server.Serve("/gallery/pic.gif", {.body = Bytes(3)});
  SetStart("/old.html");
  Run();
  Drain();
  EXPECT_EQ(server.CountRequests("GET", "/gallery/pic.gif"), 1);
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"pic.gif"});
}

TEST_F(WorkerTest, OverlongLinksAreNotFollowed) {
  const std::string longName = "/" + std::string(5000, 'x') + ".gif";
  server.Serve("/index.html", {.body = Img(longName) + Img("short.gif")});
  server.Serve(longName, {.body = Bytes(3)});
  server.Serve("/short.gif", {.body = Bytes(3)});
  SetStart("/index.html");
  Run();
  EXPECT_EQ(task->Items.Count(), 2);
  EXPECT_EQ(server.CountRequests("GET", longName), 0);
  EXPECT_EQ(server.CountRequests("GET", "/short.gif"), 1);
}

TEST_F(WorkerTest, FailedDownloadsLeaveNoPartialFile) {
  server.Serve("/index.html", {.body = Img("cut.gif") + Img("gone.gif") + Img("ok.gif")});
  server.Serve("/cut.gif", {.body = Bytes(50000), .cutAfter = 1000});
  server.Serve("/gone.gif", {.status = 500, .body = "oops"});
  server.Serve("/ok.gif", {.body = Bytes(10)});
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"ok.gif"});
  EXPECT_EQ(task->FinishedCount(), 4);  // failures count as finished
  EXPECT_EQ(task->SavedCount(), 1);
}

// A crawl where the long way to a page is walked first: the start page links
// a short page m and a chain of long URLs l1 -> l2 -> q -> r -> t, and m links
// q as well. Taken in the order of the work list (longest URL first), q is
// first found at depth 3, r at 4 and t at 5, past the limit; by m, q is at
// depth 2 and t within reach at 4. Handlers can hold an answer until a row
// has left the items view, which fixes the order of the two ways.
class ShortcutTest : public WorkerTest {
 protected:
  struct Views : RecordingViews {
    std::mutex lock;
    std::condition_variable changed;
    std::multiset<std::string> removed;
    void RemoveRow(const TTaskItem* item) override {
      RecordingViews::RemoveRow(item);
      std::lock_guard guard(lock);
      removed.emplace(item->URL().Document());
      changed.notify_all();
    }
    // Waits (at most 30 s, so a broken engine fails instead of hanging) until
    // the row of the item with this document has left the view.
    void WaitRemoved(const std::string& document) {
      std::unique_lock guard(lock);
      changed.wait_for(guard, std::chrono::seconds(30), [&] { return removed.count(document) > 0; });
    }
  };

  ShortcutTest() {
    task->ItemsView = &rowViews;
    task->Options.FileMasks.push_back("html, Pages");
    server.Serve("/s.html", {.body = Link("m.html") + Link("long/long/long/l1.html")});
    server.Serve("/long/long/long/l1.html", {.body = Link("l2.html")});
    server.Serve("/long/long/long/l2.html", {.body = Link("../../../q.html")});
    server.Serve("/r.html", {.body = Link("t.html")});
    server.Serve("/t.html", {.body = Img("t.gif")});
    server.Serve("/t.gif", {.body = Bytes(10)});
    SetStart("/s.html");
  }
  // The answer of path, held (the first time) until the row of the item with
  // the document waitFor has left the view.
  void HoldUntilRemoved(const std::string& path, const std::string& body, const std::string& waitFor) {
    server.Handle(path, [this, body, waitFor, held = std::make_shared<std::atomic<bool>>(false)](
                            const httplib::Request&, httplib::Response& res) {
      if (!held->exchange(true)) rowViews.WaitRemoved(waitFor);
      res.set_content(body, "text/html");
    });
  }
  std::int32_t DepthOf(const std::string& path) const {
    return task->Items.Items(task->Items.IndexOfURL(server.Url(path)))->Depth;
  }
  void ExpectEveryPageReached() {
    Drain();
    EXPECT_EQ(server.CountRequests("GET", "/t.html"), 1);
    EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"t.gif"});
    EXPECT_EQ(DepthOf("/q.html"), 2);
    EXPECT_EQ(DepthOf("/r.html"), 3);
    EXPECT_EQ(DepthOf("/t.html"), 4);
    // A page scanned again is not saved again.
    EXPECT_EQ(FilesIn("Pages"),
              (std::set<std::string>{"s.html", "m.html", "l1.html", "l2.html", "q.html", "r.html", "t.html"}));
    EXPECT_EQ(task->FinishedCount(), task->Items.Count());
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(rowViews.rows.empty());
  }

  Views rowViews;
};

TEST_F(ShortcutTest, PagesFoundNearerTheStartAfterTheyWereDoneAreFetchedAgain) {
  // m answers once t has been passed over as too deep; q and r were scanned.
  HoldUntilRemoved("/m.html", Link("q.html"), "t.html");
  server.Serve("/q.html", {.body = Link("r.html")});
  Run();
  ExpectEveryPageReached();
  EXPECT_EQ(server.CountRequests("GET", "/q.html"), 2);
  EXPECT_EQ(server.CountRequests("GET", "/r.html"), 2);
}

TEST_F(ShortcutTest, APageFoundNearerTheStartWhileItsWorkerRunsIsFetchedAgain) {
  // m answers once q has been asked for; q's first answer waits until m has
  // been scanned and has found q again.
  std::promise<void> qAsked;
  server.Handle("/m.html", [asked = qAsked.get_future().share()](const httplib::Request&, httplib::Response& res) {
    asked.wait_for(std::chrono::seconds(30));
    res.set_content(Link("q.html"), "text/html");
  });
  server.Handle("/q.html", [this, &qAsked, once = std::make_shared<std::once_flag>()](const httplib::Request&,
                                                                                      httplib::Response& res) {
    std::call_once(*once, [&] {
      qAsked.set_value();
      rowViews.WaitRemoved("m.html");
    });
    res.set_content(Link("r.html"), "text/html");
  });
  Run();
  ExpectEveryPageReached();
  EXPECT_EQ(server.CountRequests("GET", "/q.html"), 2);
}

}  // namespace
}  // namespace vdk::test
