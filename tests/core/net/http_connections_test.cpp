// Connections kept alive between the clients of one pool: only the TCP
// connection carries over (never cookies or a login, never to another port),
// dead connections are retried only while no byte of the answer has arrived,
// and a cancelled client or CloseAll closes them.

#include "core/net/http_connections.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "core/net/http_client.h"
#include "support/http_auth.h"
#include "support/scripted_server.h"
#include "support/test_server.h"

namespace vdk {
namespace {

using test::ScriptedServer;
using test::TestServer;
using Action = ScriptedServer::Action;
using std::chrono::milliseconds;
using std::chrono::seconds;

class HttpConnectionsTest : public ::testing::Test {
 protected:
  HttpConnectionsTest() { options.TimeOut = 20; }

  // A client of the pool, like one work item's.
  std::unique_ptr<THttpClient> Client(const std::string& loginURL) {
    return std::make_unique<THttpClient>(options, loginURL, pool);
  }
  std::string Get(const std::string& url) { return Client(url)->Get(url); }

  // Whether the request failed with a transfer error.
  bool Fails(const std::string& url) {
    try {
      Get(url);
    } catch (const EHttpError&) {
      return true;
    }
    return false;
  }

  static int CountTarget(const ScriptedServer& server, const std::string& target) {
    int n = 0;
    for (const auto& request : server.Requests()) n += request.target == target ? 1 : 0;
    return n;
  }

  TRegOptions options;
  std::shared_ptr<THttpConnections> pool = std::make_shared<THttpConnections>();
};

TEST_F(HttpConnectionsTest, ClientsShareConnectionsToOneHostButNoCookieOrLogin) {
  TestServer site;
  TestServer foreign;  // the same address on another port: another site
  options.NeedToLogin = true;
  options.UserName = "ann";
  options.Password = "s3cret";
  site.Serve("/cookie", {.body = "c", .headers = {{"Set-Cookie", "sid=42; Path=/"}}});
  test::RequireLogin(site, "/private", test::AuthScheme::Basic, "ann", "s3cret", "private");
  site.Serve("/plain", {.body = "plain"});
  site.Serve("/away", {.status = 302, .headers = {{"Location", foreign.Url("/x")}}});
  foreign.Serve("/x", {.body = "x"});
  const std::string start = site.Url("/");
  {
    auto first = Client(start);
    first->Get(site.Url("/cookie"));
    EXPECT_EQ(first->Get(site.Url("/private")), "private");
    first->Get(site.Url("/away"));  // to the other port, with the login and the cookie set
  }
  const std::size_t firstSite = site.Requests().size();
  const std::size_t firstForeign = foreign.Requests().size();
  EXPECT_EQ(Client(start)->Get(site.Url("/plain")), "plain");
  EXPECT_EQ(Client(start)->Get(foreign.Url("/x")), "x");
  options.NeedToLogin = false;
  EXPECT_EQ(Client(start)->Get(site.Url("/plain")), "plain");
  pool->CloseAll();  // the servers do not wait for kept connections as they stop

  EXPECT_EQ(site.CountConnections(), 1);
  EXPECT_EQ(foreign.CountConnections(), 1);
  const auto checkLater = [](const TestServer& server, std::size_t first) {
    const auto requests = server.Requests();
    ASSERT_GT(requests.size(), first);
    for (std::size_t i = 0; i < requests.size(); ++i) {
      SCOPED_TRACE(requests[i].path);
      EXPECT_EQ(requests[i].headers.find("Host")->second, server.Host());  // never another port's request
      if (i < first) continue;
      EXPECT_FALSE(requests[i].headers.contains("Cookie"));
      EXPECT_FALSE(requests[i].headers.contains("Authorization"));
    }
  };
  checkLater(site, firstSite);
  checkLater(foreign, firstForeign);
  EXPECT_FALSE(foreign.Requests().front().headers.contains("Authorization"));  // the redirect dropped the login
}

// The server closes or resets a kept connection just as the next request
// arrives: the request goes again on a new connection, once.
class DeadConnectionTest : public HttpConnectionsTest, public ::testing::WithParamInterface<Action> {};

TEST_P(DeadConnectionTest, ARequestWithoutAnyAnswerIsRetriedOnceOnANewConnection) {
  ScriptedServer server;
  server.SetScript([](const ScriptedServer::Request& request) {
    return request.connection == 1 && request.index == 2 ? GetParam() : Action::Answer;
  });
  EXPECT_EQ(Get(server.Url("/a.jpg")).size(), ScriptedServer::kBodySize);
  EXPECT_EQ(Get(server.Url("/b.jpg")).size(), ScriptedServer::kBodySize);
  EXPECT_EQ(server.Accepted(), 2);
  EXPECT_EQ(CountTarget(server, "/b.jpg"), 2);
}

INSTANTIATE_TEST_SUITE_P(ClosedOrReset, DeadConnectionTest, ::testing::Values(Action::Close, Action::Reset),
                         [](const auto& test) { return test.param == Action::Close ? "Closed" : "Reset"; });

TEST_F(HttpConnectionsTest, AConnectionClosedWhileIdleIsReplacedWithoutARetry) {
  ScriptedServer server;
  Get(server.Url("/a.jpg"));
  server.CloseIdle();
  EXPECT_EQ(Get(server.Url("/b.jpg")).size(), ScriptedServer::kBodySize);
  EXPECT_EQ(server.Accepted(), 2);
  EXPECT_EQ(CountTarget(server, "/b.jpg"), 1);
}

TEST_F(HttpConnectionsTest, APartAnswerOrANewConnectionsFailureIsNotRetried) {
  ScriptedServer server;
  server.SetScript([](const ScriptedServer::Request& request) {
    if (request.target == "/fresh.jpg") return Action::Reset;
    return request.target == "/cut.jpg" ? Action::ResetMidBody : Action::Answer;
  });
  EXPECT_TRUE(Fails(server.Url("/fresh.jpg")));  // a new connection refused it: not the keep-alive race
  EXPECT_EQ(server.Accepted(), 1);
  Get(server.Url("/a.jpg"));
  EXPECT_TRUE(Fails(server.Url("/cut.jpg")));
  EXPECT_EQ(CountTarget(server, "/cut.jpg"), 1);
  EXPECT_EQ(server.Accepted(), 2);
}

TEST_F(HttpConnectionsTest, AShortErrorPageKeepsItsConnectionALongOneIsCutOff) {
  TestServer site;
  const std::string longPage(THttpClient::kMaxErrorBodyBytes + 1, 'x');
  site.Serve("/missing.html", {.status = 404, .body = std::string(1000, 'x')});
  site.Serve("/announced.html", {.status = 500, .body = longPage});
  site.Serve("/chunked.html", {.status = 500, .body = longPage, .chunked = true});
  site.Serve("/a.jpg", {.body = "a"});
  try {
    Get(site.Url("/missing.html"));
    ADD_FAILURE() << "an error page passed";
  } catch (const EHttpError& e) {
    EXPECT_NE(std::string(e.what()).find("404 Not Found"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Get(site.Url("/a.jpg")), "a");
  EXPECT_EQ(site.CountConnections(), 1);
  EXPECT_TRUE(Fails(site.Url("/announced.html")));
  EXPECT_EQ(Get(site.Url("/a.jpg")), "a");
  EXPECT_TRUE(Fails(site.Url("/chunked.html")));
  EXPECT_EQ(Get(site.Url("/a.jpg")), "a");
  pool->CloseAll();
  EXPECT_EQ(site.CountConnections(), 3);
}

TEST_F(HttpConnectionsTest, CloseAllClosesIdleConnectionsAndTheOnesGivenBackLater) {
  ScriptedServer server;
  Get(server.Url("/a.jpg"));
  EXPECT_FALSE(server.WaitClosed(1, milliseconds(0)));  // kept for the next client
  pool->CloseAll();
  EXPECT_TRUE(server.WaitClosed(1, seconds(10)));

  auto busy = Client(server.Url("/"));
  busy->Get(server.Url("/b.jpg"));
  pool->CloseAll();
  busy.reset();
  EXPECT_TRUE(server.WaitClosed(2, seconds(10)));
  Get(server.Url("/c.jpg"));  // the pool goes on with new connections
  EXPECT_EQ(server.Accepted(), 3);
}

TEST_F(HttpConnectionsTest, ACancelledClientsConnectionIsClosedNotKept) {
  ScriptedServer server;
  server.SetScript([](const ScriptedServer::Request&) { return Action::Stall; });
  auto client = Client(server.Url("/"));
  std::thread request([&] { EXPECT_THROW(client->Get(server.Url("/stall.jpg")), EHttpCancelled); });
  server.WaitForRequests(1);
  client->Cancel();
  request.join();
  client.reset();
  EXPECT_TRUE(server.WaitClosed(1, seconds(10)));
}

}  // namespace
}  // namespace vdk
