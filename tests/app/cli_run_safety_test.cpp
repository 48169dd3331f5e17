// vendrake-cli runs that must lose nothing and do nothing twice: a second run
// of a task that is running, and a run killed without a chance to save.

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "cli_fixture.h"
#include "core/model/task.h"

namespace vdk::test {
namespace {

bool IsDone(const TTask& task, const std::string& url) {
  const int index = task.Items.IndexOfURL(url);
  return index >= 0 && task.Items.Items(index)->Done();
}

// Waits until the task file, as saved, satisfies the condition; false when
// no save satisfied it within a minute.
bool WaitForSavedTask(const std::string& path, const std::function<bool(const TTask&)>& condition) {
  const int watch = ::inotify_init1(IN_CLOEXEC);
  ::inotify_add_watch(watch, std::filesystem::path(path).parent_path().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  bool met = false;
  while (!met && std::chrono::steady_clock::now() < deadline) {
    TTask task;
    try {
      task.LoadFromFile(path);
      met = condition(task);
    } catch (const std::exception&) {
      // not written yet
    }
    if (met) break;
    pollfd ready{watch, POLLIN, 0};
    if (::poll(&ready, 1, 60000) <= 0) break;
    char events[4096];
    (void)::read(watch, events, sizeof events);
  }
  ::close(watch);
  return met;
}

class CliRunSafetyTest : public CliFixture {};

TEST_F(CliRunSafetyTest, ASecondRunOfARunningTaskIsRefused) {
  server.Serve("/index.html", {.body = "<img src=a.jpg>", .delay = std::chrono::minutes(5)});
  CliProcess first({"run", Url()}, home.Path());
  server.WaitForStalled(1);  // the first run holds its task file and waits for the page

  const CliResult second = Run({"run", Url()});
  EXPECT_EQ(second.code, 5);
  EXPECT_NE(second.err.find("is running in another process"), std::string::npos) << second.err;
  EXPECT_NE(second.err.find(TaskFile()), std::string::npos) << second.err;
  EXPECT_EQ(Run({"run", TaskFile()}).code, 5);
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1);

  server.ReleaseStalls();
  const CliResult done = first.Wait();
  EXPECT_EQ(done.code, 0) << done.err;
  EXPECT_EQ(Saved(), std::set<std::string>{"a.jpg"});
  EXPECT_EQ(Run({"run", TaskFile()}).code, 0);  // free again once the first run has ended
}

// A run killed with SIGKILL keeps its options and the work of its last
// checkpoint; the next run goes on from there and its pictures keep their names.
TEST_F(CliRunSafetyTest, AKilledRunResumesFromItsLastCheckpoint) {
  server.Serve("/index.html", {.body = "<img src=a.jpg><img src=b.jpg><img src=c.jpg>"});
  server.Serve("/c.jpg", {.body = std::string(20000, 'c'), .cutAfter = 100, .stall = true});
  CliProcess cli({"run", Url(), "--depth", "7", "--checkpoint", "1"}, home.Path());
  server.WaitForStalled(1);
  ASSERT_TRUE(WaitForSavedTask(TaskFile(), [&](const TTask& task) {
    return IsDone(task, server.Url("/a.jpg")) && IsDone(task, server.Url("/b.jpg"));
  }));
  cli.Kill();
  EXPECT_EQ(cli.Wait().code, -1);
  EXPECT_TRUE(Saved().contains("c.jpg!!wr"));  // the killed run's partial download

  TTask saved;
  saved.LoadFromFile(TaskFile());
  EXPECT_EQ(saved.Options.SeekDeep, 7);
  EXPECT_TRUE(IsDone(saved, Url()));
  EXPECT_FALSE(IsDone(saved, server.Url("/c.jpg")));  // running: not done

  server.ReleaseStalls();
  server.Serve("/c.jpg", {.body = std::string(20000, 'c')});
  const CliResult resumed = Run({"run", TaskFile()});
  ASSERT_EQ(resumed.code, 0) << resumed.err;
  EXPECT_EQ(Saved(), (std::set<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1);
  EXPECT_EQ(server.CountRequests("GET", "/a.jpg"), 1);
  EXPECT_EQ(ReadFile(SavedFolder() + "/c.jpg"), std::string(20000, 'c'));
}

// Two runs sharing a save folder: each one's clean-up leaves the other's
// download in progress alone, and deletes what a crashed run left behind so
// that the picture of that name keeps its name.
TEST_F(CliRunSafetyTest, RunsSharingAFolderKeepEachOthersDownloads) {
  const std::string shared = home / "shared";
  std::filesystem::create_directories(shared + "/Saved");
  WriteFile(shared + "/Saved/d.jpg!!wr", "left by a crashed run");
  server.Serve("/a.jpg", {.body = std::string(20000, 'a'), .delay = std::chrono::minutes(5)});
  CliProcess first({"run", Url(), "--save-folder", shared, "--no-size-limit"}, home.Path());  // no HEAD first
  server.WaitForStalled(1);  // a.jpg!!wr is open and locked by the first run
  ASSERT_TRUE(FileExists(shared + "/Saved/a.jpg!!wr"));

  server.Serve("/two.html", {.body = "<img src=d.jpg>"});
  server.Serve("/d.jpg", {.body = std::string(20000, 'd')});
  const CliResult second = Run({"run", server.Url("/two.html"), "--save-folder", shared});
  ASSERT_EQ(second.code, 0) << second.err;
  EXPECT_EQ(ReadFile(shared + "/Saved/d.jpg"), std::string(20000, 'd'));
  EXPECT_TRUE(FileExists(shared + "/Saved/a.jpg!!wr"));

  server.ReleaseStalls();
  const CliResult done = first.Wait();
  EXPECT_EQ(done.code, 0) << done.err;
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(shared + "/Saved")) names.insert(e.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"a.jpg", "b.jpg", "c.png", "d.jpg"}));
  EXPECT_EQ(ReadFile(shared + "/Saved/a.jpg"), std::string(20000, 'a'));
}

}  // namespace
}  // namespace vdk::test
