// Site login through the download worker: the start host gets the task's user
// name and password on its own port, given or implied by the scheme, and no
// other host, port or redirect target ever sees them.

#include "engine_fixture.h"
#include "support/http_auth.h"

namespace vdk::test {
namespace {

constexpr char kUser[] = "ann";
constexpr char kPassword[] = "s3cret";

class WorkerLoginTest : public EngineTest {
 protected:
  WorkerLoginTest() {
    task->Options.NeedToLogin = true;
    task->Options.UserName = kUser;
    task->Options.Password = kPassword;
  }

  // Sends every request through the test server as an HTTP proxy, so that a
  // URL without a port (the scheme's default) reaches it; the server sees the
  // absolute URL as the request target.
  void ThroughServerAsProxy() {
    task->Options.UseProxyServer = true;
    task->Options.ProxyServerAddr = "127.0.0.1";
    task->Options.ProxyServerPort = server.Port();
  }

  // Whether any request for target carried an Authorization header.
  bool SentCredentials(const TestServer& to, const std::string& target) const {
    for (const auto& request : to.Requests())
      if (request.path == target && request.headers.contains("Authorization")) return true;
    return false;
  }
};

TEST_F(WorkerLoginTest, TheStartHostOnAnExplicitPortGetsTheLogin) {
  TestServer foreign;  // the same address on another port: another site
  RequireLogin(server, "/index.html", AuthScheme::Digest, kUser, kPassword,
               "<img src=pic.jpg><img src=\"" + foreign.Url("/secret.jpg") + "\"><a href=away>x</a>");
  RequireLogin(server, "/pic.jpg", AuthScheme::Basic, kUser, kPassword, Bytes(50));
  RequireLogin(foreign, "/secret.jpg", AuthScheme::Basic, kUser, kPassword, Bytes(60));
  server.Serve("/away", {.status = 302, .headers = {{"Location", foreign.Url("/secret.jpg")}}});
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"pic.jpg"});
  EXPECT_TRUE(SentCredentials(server, "/index.html"));
  EXPECT_GE(foreign.CountRequests("GET", "/secret.jpg"), 2);  // linked and redirected to
  EXPECT_FALSE(SentCredentials(foreign, "/secret.jpg"));
}

TEST_F(WorkerLoginTest, TheStartHostOnTheSchemesDefaultPortGetsTheLogin) {
  ThroughServerAsProxy();
  RequireLogin(server, "http://site.test/index.html", AuthScheme::Basic, kUser, kPassword,
               "<img src=pic.jpg><img src=http://site.test:8080/port.jpg><img src=http://other.test/host.jpg>");
  RequireLogin(server, "http://site.test/pic.jpg", AuthScheme::Basic, kUser, kPassword, Bytes(50));
  RequireLogin(server, "http://site.test:8080/port.jpg", AuthScheme::Basic, kUser, kPassword, Bytes(60));
  RequireLogin(server, "http://other.test/host.jpg", AuthScheme::Basic, kUser, kPassword, Bytes(70));
  task->URL.SetURI("http://site.test/index.html");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{"pic.jpg"});
  EXPECT_TRUE(SentCredentials(server, "http://site.test/pic.jpg"));
  EXPECT_EQ(server.CountRequests("GET", "http://site.test:8080/port.jpg"), 1);
  EXPECT_EQ(server.CountRequests("GET", "http://other.test/host.jpg"), 1);
  EXPECT_FALSE(SentCredentials(server, "http://site.test:8080/port.jpg"));
  EXPECT_FALSE(SentCredentials(server, "http://other.test/host.jpg"));
}

TEST_F(WorkerLoginTest, WithoutNeedToLoginNothingIsSent) {
  task->Options.NeedToLogin = false;
  RequireLogin(server, "/index.html", AuthScheme::Basic, kUser, kPassword, "<img src=pic.jpg>");
  SetStart("/index.html");
  Run();
  Drain();
  EXPECT_FALSE(SentCredentials(server, "/index.html"));
  EXPECT_EQ(server.CountRequests("GET", "/pic.jpg"), 0);
}

}  // namespace
}  // namespace vdk::test
