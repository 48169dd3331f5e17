// The workers of a task keep their connections alive between items, carry no
// cookie from one item to the next, and close every connection when the run
// stops or ends.

#include "engine_fixture.h"
#include "support/scripted_server.h"

namespace vdk::test {
namespace {

using std::chrono::seconds;

class WorkerConnectionsTest : public EngineTest {
 protected:
  static std::string ImageLinks(const std::string& prefix, int count) {
    std::string html;
    for (int i = 0; i < count; ++i) html += "<img src=" + prefix + std::to_string(i) + ".jpg>";
    return html;
  }
};

TEST_F(WorkerConnectionsTest, ItemsReuseTheConnectionsOfEarlierItemsWithoutTheirCookies) {
  task->Options.EnableFileLimit = true;  // a HEAD and a GET per file
  task->Options.FileMinSize = 0;
  task->Options.FileMaxSize = 100;
  server.Serve("/index.html", {.body = ImageLinks("p", 40), .headers = {{"Set-Cookie", "sid=42; Path=/"}}});
  for (int i = 0; i < 40; ++i) server.Serve("/p" + std::to_string(i) + ".jpg", {.body = Bytes(50)});
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved").size(), 40u);
  EXPECT_EQ(server.Requests().size(), 81u);
  // Eight workers run at once: a new connection per item would make 41.
  EXPECT_LE(server.CountConnections(), 8);
  for (const auto& request : server.Requests()) EXPECT_FALSE(request.headers.contains("Cookie")) << request.path;
}

TEST_F(WorkerConnectionsTest, TheEndOfARunClosesItsConnections) {
  ScriptedServer site;
  site.ServePage("/index.html", ImageLinks("/p", 10));
  task->URL.SetURI(site.Url("/index.html"));
  Run();
  EXPECT_EQ(FilesIn("Saved").size(), 10u);
  EXPECT_TRUE(site.WaitClosed(site.Accepted(), seconds(10)));
}

TEST_F(WorkerConnectionsTest, StopClosesTheIdleConnectionsAndTheBusyOnesAtOnce) {
  ScriptedServer site;
  site.ServePage("/index.html", ImageLinks("/p", 20) + ImageLinks("/stall", 3));
  site.SetScript([](const ScriptedServer::Request& request) {
    return request.target.starts_with("/stall") ? ScriptedServer::Action::Stall : ScriptedServer::Action::Answer;
  });
  task->URL.SetURI(site.Url("/index.html"));
  task->Start();
  // Runs the loop until every answered file is saved and the three stalled
  // ones wait: the connections of finished items are idle in the pool.
  const auto stalled = [&] {
    int n = 0;
    for (const auto& request : site.Requests()) n += request.target.starts_with("/stall") ? 1 : 0;
    return n;
  };
  ASSERT_TRUE(loop->ProcessUntil([&] { return views.savedRows.size() == 20 && stalled() == 3; },
                                 std::chrono::steady_clock::now() + seconds(60)));
  EXPECT_FALSE(site.WaitClosed(1, std::chrono::milliseconds(0)));
  task->Stop();
  EXPECT_TRUE(site.WaitClosed(site.Accepted(), seconds(10)));
}

}  // namespace
}  // namespace vdk::test
