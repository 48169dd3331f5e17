#include "core/net/http_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <set>
#include <thread>

#include "core/net/default_proxy.h"
#include "support/http_auth.h"
#include "support/loopback_port.h"
#include "support/self_signed_cert.h"
#include "support/temp_dir.h"
#include "support/test_server.h"
#include "support/tiny_proxy.h"
#include "vendrake_version.h"

namespace vdk {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test::AuthScheme;
using test::Reply;
using test::TestServer;
using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

// The message of the EHttpError (not a cancellation) that request raises.
template <typename Request>
std::string FailureOf(Request&& request) {
  try {
    request();
  } catch (const EHttpCancelled& e) {
    ADD_FAILURE() << "cancelled: " << e.what();
    return {};
  } catch (const EHttpError& e) {
    return e.what();
  }
  ADD_FAILURE() << "the request did not fail";
  return {};
}

// Collects a streamed body and counts the pieces it came in.
struct Collector {
  std::string Bytes;
  int Pieces = 0;
  THttpClient::TBodySink Sink() {
    return [this](const char* data, std::size_t size) {
      Bytes.append(data, size);
      ++Pieces;
      return true;
    };
  }
};

// Serves size bytes made on the fly, announced or chunked.
void ServeGenerated(TestServer& server, const std::string& path, std::size_t size, bool chunked) {
  server.Handle(path, [size, chunked](const httplib::Request&, httplib::Response& res) {
    const auto block = std::make_shared<std::string>(1 << 16, 'g');
    if (chunked) {
      res.set_chunked_content_provider("text/html", [size, block](std::size_t offset, httplib::DataSink& sink) {
        if (offset < size) return sink.write(block->data(), std::min(block->size(), size - offset));
        sink.done();
        return true;
      });
    } else {
      res.set_content_provider(size, "text/html", [block](std::size_t, std::size_t length, httplib::DataSink& sink) {
        return sink.write(block->data(), std::min(block->size(), length));
      });
    }
  });
}

Reply Redirect(int status, const std::string& location) {
  return {.status = status, .body = "moved", .headers = {{"Location", location}}};
}

class HttpClientTest : public ::testing::Test {
 protected:
  HttpClientTest() { options.TimeOut = 20; }

  THttpClient Client() { return THttpClient(options, server.Url("/")); }

  TestServer server;
  TRegOptions options;
};

TEST_F(HttpClientTest, GetsPageTextAndReportsProgress) {
  const std::string body(300000, 'p');
  server.Serve("/page.html", {.body = body});
  THttpClient http = Client();
  std::vector<std::int64_t> counts;
  std::int64_t announced = 0;
  http.OnWork = [&](std::int64_t count) {
    counts.push_back(count);
    announced = http.Response().ContentLength;
  };

  EXPECT_EQ(http.Get(server.Url("/page.html")), body);
  ASSERT_GT(counts.size(), 1u);
  EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
  EXPECT_EQ(counts.back(), static_cast<std::int64_t>(body.size()));
  EXPECT_EQ(announced, static_cast<std::int64_t>(body.size()));
  EXPECT_EQ(http.Response().ResponseCode, 200);
  EXPECT_EQ(http.Response().StatusLine, "HTTP/1.1 200 OK");
  EXPECT_EQ(http.Response().FinalURL, server.Url("/page.html"));
}

TEST_F(HttpClientTest, SendsOnlyHostAcceptAndItsUserAgent) {
  server.Serve("/a.html", {.body = "a"});
  Client().Get(server.Url("/a.html"));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  std::set<std::string> names;
  for (const auto& [name, value] : requests[0].headers) {
    // cpp-httplib adds the peer's and its own address as pseudo headers.
    if (!name.starts_with("REMOTE_") && !name.starts_with("LOCAL_")) names.insert(name);
  }
  EXPECT_EQ(names, (std::set<std::string>{"Accept", "Host", "User-Agent"}));
  EXPECT_EQ(requests[0].headers.find("User-Agent")->second, "Vendrake/" VENDRAKE_VERSION);
}

TEST_F(HttpClientTest, ChunkedAnswersAnnounceNoLength) {
  const std::string body(20000, 'c');
  server.Serve("/chunks.html", {.body = body, .chunked = true, .headWithoutLength = true});
  THttpClient http = Client();
  std::int64_t announced = 0;
  http.OnWork = [&](std::int64_t) { announced = http.Response().ContentLength; };

  EXPECT_EQ(http.Get(server.Url("/chunks.html")), body);
  EXPECT_LE(announced, 0);
  http.Head(server.Url("/chunks.html"));
  EXPECT_LE(http.Response().ContentLength, 0);
}

TEST_F(HttpClientTest, HeadReportsTheAnnouncedLengthWithoutABody) {
  server.Serve("/pic.jpg", {.body = std::string(12345, 'j'), .contentType = "image/jpeg"});
  THttpClient http = Client();
  int works = 0;
  http.OnWork = [&](std::int64_t) { ++works; };

  http.Head(server.Url("/pic.jpg"));
  EXPECT_EQ(http.Response().ContentLength, 12345);
  EXPECT_EQ(works, 0);
  EXPECT_EQ(server.CountRequests("HEAD", "/pic.jpg"), 1);
  // The same client then fetches the body with a GET.
  Collector file;
  http.Get(server.Url("/pic.jpg"), file.Sink());
  EXPECT_EQ(file.Bytes.size(), 12345u);
  EXPECT_EQ(server.CountRequests("GET", "/pic.jpg"), 1);
}

TEST_F(HttpClientTest, StreamsAFileBodyToTheSinkAsItArrives) {
  const std::string body(2 << 20, 'f');
  server.Serve("/big.jpg", {.body = body});
  Collector file;
  Client().Get(server.Url("/big.jpg"), file.Sink(), static_cast<std::int64_t>(body.size()));
  EXPECT_EQ(file.Bytes, body);
  EXPECT_GT(file.Pieces, 1);
}

TEST_F(HttpClientTest, ErrorStatusesFailWithTheStatusLineAndStoreNothing) {
  server.Serve("/broken.jpg", {.status = 500, .body = "server error page"});
  THttpClient http = Client();
  Collector file;

  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/missing.html")); }), HasSubstr("HTTP/1.1 404 Not Found"));
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/broken.jpg"), file.Sink()); }),
              HasSubstr("HTTP/1.1 500 Internal Server Error"));
  EXPECT_EQ(file.Bytes, "");
  EXPECT_THAT(FailureOf([&] { http.Head(server.Url("/missing.jpg")); }), HasSubstr("404"));
  EXPECT_EQ(http.Response().ResponseCode, 404);
}

TEST_F(HttpClientTest, ABodyCutShortOfItsLengthFails) {
  server.Serve("/cut.jpg", {.body = std::string(1000, 'x'), .cutAfter = 100});
  THttpClient http = Client();
  Collector file;
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/cut.jpg"), file.Sink()); }), HasSubstr(server.Url("/cut.jpg")));
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/cut.jpg")); }), HasSubstr("remaining"));
}

TEST_F(HttpClientTest, NoDataWithinTheReadTimeOutFails) {
  options.TimeOut = 1;
  server.Serve("/silent.html", {.body = "late", .delay = milliseconds(60000)});
  server.Serve("/stalls.jpg", {.body = std::string(5000, 's'), .cutAfter = 1000, .stall = true});
  THttpClient http = Client();
  Collector file;
  for (const auto& request : std::vector<std::function<void()>>{
           [&] { http.Get(server.Url("/silent.html")); },
           [&] { http.Get(server.Url("/stalls.jpg"), file.Sink()); },
       }) {
    const auto start = Clock::now();
    EXPECT_THAT(FailureOf(request), HasSubstr("no data received for 1 s"));
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, milliseconds(950));
    EXPECT_LT(elapsed, seconds(10));
  }
  EXPECT_EQ(file.Bytes.size(), 1000u);
}

// Each byte comes well within the read time-out, but at 10 bytes a second the
// body would take four seconds.
TEST_F(HttpClientTest, ATransferSlowerThanOneKilobyteASecondOverAWindowFails) {
  options.TimeOut = 1;
  server.Serve("/trickle.jpg", {.body = std::string(40, 't'), .trickle = milliseconds(100)});
  THttpClient http = Client();
  http.SetSpeedWindow(milliseconds(1000));
  Collector file;
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/trickle.jpg"), file.Sink()); }),
              HasSubstr("less than 1 KB/s received for 1 s"));
  EXPECT_LT(file.Bytes.size(), 40u);
}

TEST_F(HttpClientTest, ARefusedConnectionFails) {
  const std::string url = "http://127.0.0.1:" + std::to_string(test::FreeLoopbackPort()) + "/a.html";
  EXPECT_THAT(FailureOf([&] { Client().Get(url); }), HasSubstr("connect"));
}

TEST_F(HttpClientTest, FollowsEveryRedirectStatusAndReportsTheFinalURL) {
  server.Serve("/dir/to.html", {.body = "final"});
  for (const int status : {301, 302, 303, 307, 308}) {
    SCOPED_TRACE(status);
    server.Serve("/from", Redirect(status, "/dir/to.html"));
    THttpClient http = Client();
    EXPECT_EQ(http.Get(server.Url("/from")), "final");
    EXPECT_EQ(http.Response().FinalURL, server.Url("/dir/to.html"));
  }
}

TEST_F(HttpClientTest, TenRedirectsAreFollowedButAnEleventhOrALoopFails) {
  for (int i = 0; i <= 10; ++i) server.Serve("/hop" + std::to_string(i), Redirect(302, "/hop" + std::to_string(i + 1)));
  server.Serve("/hop11", {.body = "arrived"});
  server.Serve("/loop-a", Redirect(302, "/loop-b"));
  server.Serve("/loop-b", Redirect(302, "/loop-a"));
  THttpClient http = Client();

  EXPECT_EQ(http.Get(server.Url("/hop1")), "arrived");
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/hop0")); }), HasSubstr("redirects"));
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/loop-a")); }), HasSubstr("redirects"));
}

TEST_F(HttpClientTest, PageTextIsCappedAt64MiB) {
  const auto cap = static_cast<std::size_t>(THttpClient::kMaxPageBytes);
  ServeGenerated(server, "/exact.html", cap, true);
  ServeGenerated(server, "/over.html", cap + 1, true);
  ServeGenerated(server, "/announced.html", cap + 1, false);
  THttpClient http = Client();
  std::int64_t moved = 0;
  http.OnWork = [&](std::int64_t count) { moved = count; };

  EXPECT_EQ(http.Get(server.Url("/exact.html")).size(), cap);
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/over.html")); }), HasSubstr("larger than 67108864 bytes"));
  moved = 0;
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/announced.html")); }), HasSubstr("larger than"));
  EXPECT_EQ(moved, 0);  // refused on the announced length, before storing a byte
}

TEST_F(HttpClientTest, AFileBodyPassingMaxBytesFails) {
  server.Serve("/100.jpg", {.body = std::string(100, 'h')});
  server.Serve("/101.jpg", {.body = std::string(101, 'h')});
  server.Serve("/101-chunked.jpg", {.body = std::string(101, 'h'), .chunked = true});
  THttpClient http = Client();
  Collector exact, announced, chunked;

  http.Get(server.Url("/100.jpg"), exact.Sink(), 100);
  EXPECT_EQ(exact.Bytes.size(), 100u);
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/101.jpg"), announced.Sink(), 100); }),
              HasSubstr("larger than 100"));
  EXPECT_EQ(announced.Pieces, 0);
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/101-chunked.jpg"), chunked.Sink(), 100); }),
              HasSubstr("larger than 100"));
  EXPECT_LE(chunked.Bytes.size(), 100u);
}

TEST_F(HttpClientTest, ASinkThatCannotWriteFailsTheDownload) {
  server.Serve("/disk-full.jpg", {.body = std::string(1 << 20, 'd')});
  int calls = 0;
  const auto full = [&](const char*, std::size_t) {
    ++calls;
    return false;
  };
  EXPECT_THAT(FailureOf([&] { Client().Get(server.Url("/disk-full.jpg"), full); }), HasSubstr("cannot store"));
  EXPECT_EQ(calls, 1);
}

TEST_F(HttpClientTest, CancelBeforeARequestFailsItWithoutTraffic) {
  server.Serve("/a.html", {.body = "a"});
  THttpClient http = Client();
  http.Cancel();
  EXPECT_THROW(http.Get(server.Url("/a.html")), EHttpCancelled);
  EXPECT_THROW(http.Head(server.Url("/a.html")), EHttpCancelled);
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(HttpClientTest, CancelFromAnotherThreadEndsAStalledBodyAtOnce) {
  options.TimeOut = 120;
  server.Serve("/slow.jpg", {.body = std::string(100000, 's'), .cutAfter = 1000, .stall = true});
  Clock::duration worst{};
  for (int run = 1; run <= 5; ++run) {
    THttpClient http = Client();
    Clock::time_point cancelledAt;
    std::thread canceller([&] {
      server.WaitForStalled(run);  // the earlier runs' answers stay stalled
      cancelledAt = Clock::now();
      http.Cancel();
    });
    Collector file;
    EXPECT_THROW(http.Get(server.Url("/slow.jpg"), file.Sink()), EHttpCancelled);
    const auto ended = Clock::now();
    canceller.join();
    worst = std::max(worst, ended - cancelledAt);
    EXPECT_THROW(http.Head(server.Url("/slow.jpg")), EHttpCancelled);
  }
  const auto worstUs = std::chrono::duration_cast<std::chrono::microseconds>(worst).count();
  std::cout << "worst cancellation latency of 5 runs: " << worstUs << " us\n";
  RecordProperty("worst_cancel_latency_us", std::to_string(worstUs));
  EXPECT_LT(worst, seconds(1));
}

TEST_F(HttpClientTest, AnswersBasicAndDigestChallengesWithTheLogin) {
  options.NeedToLogin = true;
  options.UserName = "ann";
  options.Password = "s3cret";
  test::RequireLogin(server, "/basic.html", AuthScheme::Basic, "ann", "s3cret", "basic page");
  test::RequireLogin(server, "/digest.html", AuthScheme::Digest, "ann", "s3cret", "digest page");
  THttpClient http = Client();
  EXPECT_EQ(http.Get(server.Url("/basic.html")), "basic page");
  EXPECT_EQ(http.Get(server.Url("/digest.html")), "digest page");

  options.Password = "wrong";
  EXPECT_THAT(FailureOf([&] { Client().Get(server.Url("/digest.html")); }), HasSubstr("401"));
  options.NeedToLogin = false;
  options.Password = "s3cret";
  EXPECT_THAT(FailureOf([&] { Client().Get(server.Url("/basic.html")); }), HasSubstr("401 Unauthorized"));
}

TEST_F(HttpClientTest, CredentialsGoOnlyToTheLoginHostAndPort) {
  options.NeedToLogin = true;
  options.UserName = "ann";
  options.Password = "s3cret";
  TestServer foreign;  // the same address on another port: another site
  test::RequireLogin(foreign, "/secret.html", AuthScheme::Basic, "ann", "s3cret", "foreign secret");
  test::RequireLogin(server, "/own.html", AuthScheme::Basic, "ann", "s3cret", "own page");
  server.Serve("/to-foreign", Redirect(302, foreign.Url("/secret.html")));
  server.Serve("/to-own", Redirect(302, "/own.html"));
  THttpClient http = Client();

  EXPECT_EQ(http.Get(server.Url("/to-own")), "own page");
  EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/to-foreign")); }), HasSubstr("401"));
  EXPECT_THAT(FailureOf([&] { http.Get(foreign.Url("/secret.html")); }), HasSubstr("401"));
  const auto requests = foreign.Requests();
  EXPECT_EQ(requests.size(), 2u);
  for (const auto& request : requests) EXPECT_FALSE(request.headers.contains("Authorization"));
}

TEST_F(HttpClientTest, KeepsCookiesForItsOwnRequestsOnly) {
  server.Serve("/login", {.status = 302, .headers = {{"Location", "/home.html"}, {"Set-Cookie", "sid=42; Path=/"}}});
  server.Serve("/home.html", {.body = "home"});
  Client().Get(server.Url("/login"));
  Client().Get(server.Url("/home.html"));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].headers.find("Cookie")->second, "sid=42");
  EXPECT_FALSE(requests[2].headers.contains("Cookie"));  // a new client starts without cookies
}

TEST_F(HttpClientTest, GoesThroughTheConfiguredProxy) {
  test::TinyProxy proxy;
  server.Serve("/via.html", {.body = "proxied"});
  options.UseProxyServer = true;
  options.ProxyServerAddr = "127.0.0.1";
  options.ProxyServerPort = proxy.Port();
  EXPECT_EQ(Client().Get(server.Url("/via.html")), "proxied");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_THAT(requests[0].headers.find("Via")->second, HasSubstr("tinyproxy"));

  options.ProxyServerPort = test::FreeLoopbackPort();
  EXPECT_THAT(FailureOf([&] { Client().Get(server.Url("/via.html")); }), HasSubstr("connect"));
  EXPECT_EQ(server.Requests().size(), 1u);
  // A proxy without an address or port is refused rather than bypassed.
  options.ProxyServerPort = 0;
  EXPECT_THROW(Client(), EHttpError);
  options.ProxyServerPort = proxy.Port();
  options.ProxyServerAddr = "";
  EXPECT_THROW(Client(), EHttpError);
}

// The default options' proxy carries requests whose own options do not turn
// one on, and a task's own proxy wins over it.
TEST_F(HttpClientTest, FallsBackToTheDefaultProxy) {
  struct DefaultProxyReset {
    ~DefaultProxyReset() { SetDefaultProxy(TRegOptions{}); }
  } reset;
  test::TinyProxy proxy;
  server.Serve("/via.html", {.body = "proxied"});
  TRegOptions defaults;
  defaults.UseProxyServer = true;
  defaults.ProxyServerAddr = "127.0.0.1";
  defaults.ProxyServerPort = proxy.Port();
  SetDefaultProxy(defaults);

  EXPECT_EQ(Client().Get(server.Url("/via.html")), "proxied");
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(server.Requests()[0].headers.contains("Via"));

  // A task's own proxy is used instead: this one refuses connections.
  options.UseProxyServer = true;
  options.ProxyServerAddr = "127.0.0.1";
  options.ProxyServerPort = test::FreeLoopbackPort();
  EXPECT_THAT(FailureOf([&] { Client().Get(server.Url("/via.html")); }), HasSubstr("connect"));
  EXPECT_EQ(server.Requests().size(), 1u);

  // With the default proxy off again, requests go direct.
  options.UseProxyServer = false;
  SetDefaultProxy(TRegOptions{});
  EXPECT_EQ(Client().Get(server.Url("/via.html")), "proxied");
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_FALSE(server.Requests()[1].headers.contains("Via"));
}

// Sets an environment variable for one scope and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(HttpClientHttps, VerifiesTheCertificateAgainstTheConfiguredStore) {
  test::TempDir dir;
  const auto cert = test::MakeSelfSignedCert(dir.Path());
  TestServer server(cert.CertFile, cert.KeyFile);
  server.Serve("/page.html", {.body = "over tls"});
  TRegOptions options;
  {
    ScopedEnv systemStore("SSL_CERT_FILE", std::nullopt);
    THttpClient http(options, server.Url("/"));
    EXPECT_THAT(FailureOf([&] { http.Get(server.Url("/page.html")); }), HasSubstr("certificate"));
  }
  ScopedEnv testStore("SSL_CERT_FILE", cert.CertFile);
  THttpClient http(options, server.Url("/"));
  EXPECT_EQ(http.Get(server.Url("/page.html")), "over tls");
  EXPECT_EQ(server.CountRequests("GET", "/page.html"), 1);
}

TEST(HttpClientReadTimeout, ZeroMeansTheDefaultAndLongValuesAreCapped) {
  EXPECT_EQ(THttpClient::ReadTimeout(0), THttpClient::kDefaultReadTimeout);
  EXPECT_EQ(THttpClient::ReadTimeout(-5), THttpClient::kDefaultReadTimeout);
  EXPECT_EQ(THttpClient::ReadTimeout(7), seconds(7));
  EXPECT_EQ(THttpClient::ReadTimeout(1000000), THttpClient::kMaxReadTimeout);
}

}  // namespace
}  // namespace vdk
