// Fetching the index and the project lists from the in-process test server:
// the line rules of the index, the list cases, and the limits that keep a
// hostile or broken project server from costing more than an empty group.

#include <gtest/gtest.h>

#include "import/project_update_ctrl.h"
#include "support/project_lists.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vdk {
namespace {

using Names = std::vector<std::string>;

class ProjectUpdateCtrlTest : public ::testing::Test {
 protected:
  TProjectUpdateCtrl Ctrl(TProjectFetchLimits limits = {}) {
    return TProjectUpdateCtrl(ProjectServerBase(server.Host()), limits);
  }
  void ServeFixture(const std::string& path, const std::string& fixture) {
    server.Serve(path, {.body = test::ReadFile(VENDRAKE_TEST_DATA + fixture), .contentType = "text/plain"});
  }
  Names Index() {
    Names names;
    Ctrl().GetIndex(names);
    return names;
  }

  test::TestServer server;
};

TEST(ProjectServerAddress, HostPortPathAndScheme) {
  EXPECT_EQ(ProjectServerBase("projects.example.org"), "http://projects.example.org/projects/");
  EXPECT_EQ(ProjectServerBase(" 127.0.0.1:8418/ "), "http://127.0.0.1:8418/projects/");
  EXPECT_EQ(ProjectServerBase("HTTPS://example.org/vendrake"), "HTTPS://example.org/vendrake/projects/");
  EXPECT_EQ(ProjectServerBase(""), "http://127.0.0.1:8418/projects/");
  EXPECT_EQ(ProjectFileURL("http://h/projects/", "a b%/..?.dat"), "http://h/projects/a%20b%25%2F..%3F.dat");
}

TEST_F(ProjectUpdateCtrlTest, IndexLinesEndWithLFOrCRLFAndTheLastMayLackIt) {
  for (const char* fixture : {"project_index_lf.dat", "project_index_crlf.dat", "project_index_no_final_lf.dat"}) {
    SCOPED_TRACE(fixture);
    ServeFixture("/projects/index.dat", fixture);
    EXPECT_EQ(Index(), (Names{"a.dat", "b.dat"}));
  }
  // An empty line in the middle is an empty name; a lone CR stays in a name.
  server.Serve("/projects/index.dat", {.body = "a.dat\n\r\n\nb\r.dat\nlast\r"});
  EXPECT_EQ(Index(), (Names{"a.dat", "", "", "b\r.dat", "last\r"}));
  server.Serve("/projects/index.dat", {.body = ""});
  EXPECT_EQ(Index(), Names{});
  // GetIndex appends.
  Names names{"kept"};
  server.Serve("/projects/index.dat", {.body = "x.dat"});
  Ctrl().GetIndex(names);
  EXPECT_EQ(names, (Names{"kept", "x.dat"}));
}

TEST_F(ProjectUpdateCtrlTest, AFailedIndexRaises) {
  Names names;
  EXPECT_THROW(Ctrl().GetIndex(names), EHttpError);  // 404
  server.Serve("/projects/index.dat", {.status = 500, .body = "a.dat\n"});
  EXPECT_THROW(Ctrl().GetIndex(names), EHttpError);
  server.Serve("/projects/index.dat", {.body = std::string(200, 'x'), .cutAfter = 10});
  EXPECT_THROW(Ctrl().GetIndex(names), EHttpError);  // cut short
  EXPECT_TRUE(names.empty());
}

TEST_F(ProjectUpdateCtrlTest, ListsParseAndFailuresGiveNone) {
  ServeFixture("/projects/two.dat", "project_list_two_records.dat");
  ServeFixture("/projects/partial.dat", "project_list_partial_third.dat");
  ServeFixture("/projects/empty.dat", "project_list_empty.dat");
  server.Serve("/projects/gone.dat", {.status = 410});
  TProjectUpdateCtrl ctrl = Ctrl();
  const auto two = ctrl.GetProjectList("two.dat");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(two->Count(), 2);
  ASSERT_NE(ctrl.GetProjectList("partial.dat"), nullptr);
  EXPECT_EQ(ctrl.GetProjectList("partial.dat")->Count(), 3);
  const auto empty = ctrl.GetProjectList("empty.dat");
  ASSERT_NE(empty, nullptr);  // empty, not none
  EXPECT_EQ(empty->Count(), 0);
  EXPECT_EQ(ctrl.GetProjectList("gone.dat"), nullptr);
  EXPECT_EQ(ctrl.GetProjectList("missing.dat"), nullptr);
}

TEST_F(ProjectUpdateCtrlTest, ListNamesAreSentEncodedAndNeverLeaveTheFolder) {
  server.Serve("/projects/with%20space.dat", {.body = test::ProjectListBytes({{.name = "x"}})});
  EXPECT_NE(Ctrl().GetProjectList("with space.dat"), nullptr);
  Ctrl().GetProjectList("../secret");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].path, "/projects/with%20space.dat");
  EXPECT_EQ(requests[1].path, "/projects/..%2Fsecret");
}

TEST_F(ProjectUpdateCtrlTest, OversizedAnswersAreRefusedWithoutReadingThemWhole) {
  // 100 MB of list, made as it is sent: the fetch ends at the cap.
  constexpr std::size_t kHuge = std::size_t{100} << 20;
  // The server's threads may outlive the test body: they share the counter.
  const auto sent = std::make_shared<std::atomic<std::size_t>>(0);
  server.Handle("/projects/huge.dat", [sent](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(kHuge, "application/octet-stream",
                             [sent](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                               const std::string chunk(std::min<std::size_t>(length, 64 << 10), 'p');
                               *sent = offset + chunk.size();
                               return sink.write(chunk.data(), chunk.size());
                             });
  });
  EXPECT_EQ(Ctrl().GetProjectList("huge.dat"), nullptr);
  EXPECT_LT(sent->load(), kHuge / 2);

  // A chunked index over its cap fails too, also without a length announced.
  server.Serve("/projects/index.dat", {.body = std::string(3000, 'i'), .chunked = true});
  Names names;
  EXPECT_THROW(Ctrl({.MaxIndexBytes = 2000}).GetIndex(names), EHttpError);
  EXPECT_NO_THROW(Ctrl({.MaxIndexBytes = 3000}).GetIndex(names));
}

TEST_F(ProjectUpdateCtrlTest, AStallingServerCostsOnlyTheReadTimeOut) {
  server.Serve("/projects/index.dat", {.delay = std::chrono::hours(1)});
  server.Serve("/projects/slow.dat", {.body = std::string(1208, 'x'), .cutAfter = 600, .stall = true});
  Names names;
  const TProjectFetchLimits quick{.ReadTimeOut = std::chrono::seconds(1)};
  EXPECT_THROW(Ctrl(quick).GetIndex(names), EHttpError);
  EXPECT_EQ(Ctrl(quick).GetProjectList("slow.dat"), nullptr);
}

TEST_F(ProjectUpdateCtrlTest, CancelEndsAFetchAtOnce) {
  server.Serve("/projects/stalled.dat", {.body = std::string(1208, 'x'), .cutAfter = 10, .stall = true});
  TProjectUpdateCtrl ctrl = Ctrl({.ReadTimeOut = std::chrono::seconds(600)});
  std::thread canceller([&] {
    server.WaitForStalled(1);
    ctrl.Cancel();
  });
  EXPECT_EQ(ctrl.GetProjectList("stalled.dat"), nullptr);  // would wait ten minutes otherwise
  canceller.join();
  EXPECT_EQ(ctrl.GetProjectList("stalled.dat"), nullptr);  // and later fetches fail at once
  EXPECT_EQ(server.CountRequests("GET", "/projects/stalled.dat"), 1);
}

}  // namespace
}  // namespace vdk
