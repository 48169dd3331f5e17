// The list thread and the file threads against the in-process project server:
// groups in index order, only new and valid projects offered, a hostile or
// stalling server kept within bounds, and a stop that ends everything at once.

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>

#include "core/run/event_loop.h"
#include "core/settings/memory_registry.h"
#include "import/import_file_list_thread.h"
#include "recorded_import_view.h"
#include "support/project_lists.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vdk {
namespace {

using Names = std::vector<std::string>;
using test::ProjectRecord;

// Threads of this process whose name starts with prefix.
int CountThreads(const std::string& prefix) {
  int count = 0;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir("/proc/self/task"), ::closedir);
  while (const dirent* entry = ::readdir(dir.get())) {
    std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
    std::string name;
    if (std::getline(comm, name) && name.starts_with(prefix)) ++count;
  }
  return count;
}

ProjectRecord Project(const std::string& name, const std::string& category = "Pictures") {
  return {.name = name, .url = "https://example.org/" + std::to_string(name.size()) + "/", .category = category};
}

class ImportThreadsTest : public ::testing::Test {
 protected:
  void Start(TProjectFetchLimits limits = {}) {
    known = std::make_shared<TExistNames>(store);
    threads = std::make_unique<TImportFileListThread>(loop, view, known, ProjectServerBase(server.Host()), limits);
  }
  void WaitUntil(const std::function<bool()>& done) {
    ASSERT_TRUE(loop->ProcessUntil(done, std::chrono::steady_clock::now() + std::chrono::seconds(120)));
  }
  void LoadAll() {
    WaitUntil([this] { return view.AllLoaded(); });
  }
  const TImportFileThread& Group(const std::string& name) {
    for (const auto& group : view.groups)
      if (group->FileName == name) return *group;
    throw std::runtime_error("no group " + name);
  }

  test::TestServer server;
  TMemoryRegistry store;
  std::shared_ptr<TEventLoop> loop = std::make_shared<TEventLoop>();
  test::RecordedImportView view{*loop};
  std::shared_ptr<TExistNames> known;
  std::unique_ptr<TImportFileListThread> threads;
};

TEST_F(ImportThreadsTest, GroupsComeInIndexOrderAndOfferOnlyProjectsNotImportedBefore) {
  TExistNames(store).Save({"KNOWN ONE", "Gone"});
  test::ServeProjects(server, {{"first.dat", {Project("New one"), Project("known one"), Project("New two")}},
                               {"second.dat", {Project("Known One"), Project("Other")}},
                               {"empty.dat", {}}});
  Start();
  LoadAll();
  ASSERT_EQ(view.events.size(), 8u);
  EXPECT_EQ(view.events[0], "loading");
  Names added;
  for (const auto& event : view.events)
    if (event.starts_with("group ")) added.push_back(event);
  EXPECT_EQ(added, (Names{"group first.dat", "group second.dat", "group empty.dat"}));
  // The index is done once its groups are added; lists may still load then.
  EXPECT_LT(std::find(view.events.begin(), view.events.end(), "group empty.dat"),
            std::find(view.events.begin(), view.events.end(), "index done"));

  // Each list drops the first entry of each known name, in any case.
  EXPECT_EQ(test::RecordedImportView::Offered(Group("first.dat")), (Names{"New one", "New two"}));
  EXPECT_EQ(test::RecordedImportView::Offered(Group("second.dat")), Names{"Other"});
  ASSERT_NE(Group("empty.dat").Projects(), nullptr);
  EXPECT_TRUE(Group("empty.dat").NewItems().empty());

  const auto& first = *Group("first.dat").Projects();
  EXPECT_FALSE(first.Items(0)->Exists);
  EXPECT_TRUE(first.Items(1)->Exists);
  EXPECT_FALSE(first.Items(2)->Exists);
}

TEST_F(ImportThreadsTest, ANameTwiceInAListIsOfferedOnce) {
  TExistNames(store).Save({"twin"});
  test::ServeProjects(server, {{"a.dat", {Project("Single"), Project("Single"), Project("Twin"), Project("Twin")}}});
  Start();
  LoadAll();
  // The store knows one "twin": one of the two list entries stays new, and it
  // is offered as the first project of that name.
  EXPECT_EQ(test::RecordedImportView::Offered(Group("a.dat")), (Names{"Single", "Twin"}));
  const auto& items = *Group("a.dat").Projects();
  EXPECT_EQ(Group("a.dat").NewItems()[1], items.Items(2));
  EXPECT_TRUE(items.Items(3)->Exists);
}

TEST_F(ImportThreadsTest, WithoutAnIndexTheRootEndsWithNoGroups) {
  Start();
  WaitUntil([this] { return view.indexDone; });
  EXPECT_EQ(view.events, (Names{"loading", "index done"}));
  EXPECT_NE(view.failure.find("404"), std::string::npos) << view.failure;
}

TEST_F(ImportThreadsTest, AHostileServerShowsOnlyValidProjectsAndIsNeverAskedOutsideItsFolder) {
  server.Serve("/projects/index.dat", {.body = "../x\n\na/b\n..\nhostile.dat\nhuge.dat\nbroken.dat\nb\\c\n"});
  server.Serve("/projects/hostile.dat",
               {.body = test::ReadFile(VENDRAKE_TEST_DATA + std::string("project_list_hostile.dat"))});
  server.Serve("/projects/broken.dat", {.status = 500});
  server.Handle("/projects/huge.dat", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(std::size_t{100} << 20, "application/octet-stream",
                             [](std::size_t, std::size_t length, httplib::DataSink& sink) {
                               const std::string chunk(std::min<std::size_t>(length, 64 << 10), 'h');
                               return sink.write(chunk.data(), chunk.size());
                             });
  });
  Start();
  LoadAll();
  EXPECT_EQ(view.groups.size(), 3u);
  EXPECT_EQ(test::RecordedImportView::Offered(Group("hostile.dat")), (Names{"Good one", "Good two"}));
  EXPECT_EQ(Group("huge.dat").Projects(), nullptr);
  EXPECT_TRUE(Group("huge.dat").Loaded());
  EXPECT_EQ(Group("broken.dat").Projects(), nullptr);
  for (const auto& request : server.Requests()) {
    EXPECT_TRUE(request.path == "/projects/index.dat" || request.path == "/projects/hostile.dat" ||
                request.path == "/projects/huge.dat" || request.path == "/projects/broken.dat")
        << request.path;
  }
}

TEST_F(ImportThreadsTest, AHugeIndexIsCappedAndFileThreadsStayBounded) {
  std::string index;
  for (int i = 0; i < 50000; ++i) index += "list" + std::to_string(i) + ".dat\n";
  server.Serve("/projects/index.dat", {.body = index});
  // Every list stalls: the file threads that run hold on to their fetch.
  for (int i = 0; i < TImportFileListThread::kMaxLists; ++i)
    server.Serve("/projects/list" + std::to_string(i) + ".dat", {.delay = std::chrono::hours(1)});
  Start({.ReadTimeOut = std::chrono::seconds(600)});
  WaitUntil([this] { return view.indexDone; });
  server.WaitForStalled(TImportFileListThread::kMaxFileThreads);

  EXPECT_EQ(view.groups.size(), static_cast<std::size_t>(TImportFileListThread::kMaxLists));
  EXPECT_EQ(view.groups.back()->FileName, "list199.dat");
  EXPECT_EQ(CountThreads("vdk-import-file"), TImportFileListThread::kMaxFileThreads);
  EXPECT_EQ(static_cast<int>(server.Requests().size()), 1 + TImportFileListThread::kMaxFileThreads);

  threads->Stop();  // the stalled fetches end at once, not after ten minutes
  EXPECT_EQ(CountThreads("vdk-import"), 0);
  loop->ProcessPending();
  EXPECT_EQ(view.loaded, 0);
}

TEST_F(ImportThreadsTest, StopWhileTheIndexLoadsEndsEverythingWithoutAnotherCall) {
  server.Serve("/projects/index.dat", {.body = "a.dat\n", .cutAfter = 2, .stall = true});
  Start({.ReadTimeOut = std::chrono::seconds(600)});
  WaitUntil([this] { return !view.events.empty(); });
  server.WaitForStalled(1);
  threads->Stop();
  EXPECT_EQ(CountThreads("vdk-import"), 0);
  loop->ProcessPending();
  EXPECT_EQ(view.events, Names{"loading"});
}

TEST_F(ImportThreadsTest, StopWhileCallsWaitForTheMainThreadDropsThem) {
  // The main thread does not run the queue: the threads' calls pile up, and
  // the stop must not wait for them.
  test::ServeProjects(server, {{"a.dat", {Project("One")}}, {"b.dat", {Project("Two")}}});
  Start();
  threads.reset();  // destruction stops
  loop->ProcessPending();
  EXPECT_TRUE(view.events.empty()) << view.events.front();
}

}  // namespace
}  // namespace vdk
