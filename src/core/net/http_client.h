#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/errors.h"
#include "core/model/reg_options.h"

namespace vdk {

class THttpConnections;

// A request that failed: connection refused or lost, name not resolved, no
// data within the read time-out, a TLS failure, a final status outside 2xx
// (the message holds the status line), too many redirects, a body shorter
// than announced or longer than allowed, or a sink that could not write.
class EHttpError : public EVendrakeError {
 public:
  using EVendrakeError::EVendrakeError;
};

// The request was ended by THttpClient::Cancel.
class EHttpCancelled : public EHttpError {
 public:
  using EHttpError::EHttpError;
};

// What the last request learned about its final response (after redirects).
struct THttpResponse {
  int ResponseCode = 0;
  std::string StatusLine;  // "HTTP/1.1 200 OK", without the line end
  // The body size the server announced; -1 when it announced none (chunked).
  std::int64_t ContentLength = -1;
  // Where the body really came from: links in a page resolve against it.
  std::string FinalURL;
};

// The HTTP(S) client of one work item, over one libcurl easy handle driven by
// a multi handle that holds its connections. Each client has its own
// in-memory cookies and login state, gone with the client; its connections
// are its own too, unless it borrows them from a THttpConnections pool for
// its life (see http_connections.h). The cache of name lookups is shared by
// the clients of the process.
//
//   THttpClient http(task.Options, task.URL.Text());
//   http.OnWork = [&](std::int64_t count) { ... http.Response().ContentLength ... };
//   std::string page = http.Get(url);      // text, at most kMaxPageBytes
//   http.Response().FinalURL;              // base for the page's links
//   http.Head(url);                        // then Response().ContentLength
//   http.Get(url, sink, maxBytes);         // a file, written as it arrives
//   http.Cancel();                         // from any thread
//
// Behaviour:
// - Redirects (301, 302, 303, 307, 308) are followed, at most kMaxRedirects
//   hops; one more, or a loop, fails.
// - TimeOut seconds without a byte from the server fail the request (see
//   ReadTimeout); establishing a connection, TLS included, may take at most
//   kConnectTimeout.
// - So does a server that trickles: fewer than kMinBytesPerSecond a second
//   over a whole speed window (the read time-out, at least kMinSpeedWindow).
// - An error status fails the request without passing its body on; a body
//   of at most kMaxErrorBodyBytes is read to its end, so that the connection
//   stays usable.
// - A proxy (host and port, no credentials) is used when UseProxyServer is
//   set, else the default proxy when there is one (default_proxy.h);
//   otherwise no proxy at all, whatever the environment says.
// - With NeedToLogin, UserName and Password answer Basic and Digest
//   challenges, but only from the login URL's host and port; libcurl drops
//   them on a redirect that leaves that host, port or scheme.
// - HTTPS is verified against the system's CA store; SSL_CERT_FILE, when set,
//   names the CA bundle to use instead (as OpenSSL's own tools do).
// - The only headers sent are libcurl's Host and Accept and the user-agent
//   "Vendrake/<version>".
//
// Threads: a client is used by one thread at a time; Cancel alone may be
// called from any thread, at any moment while the client exists.
class THttpClient {
 public:
  static constexpr std::int64_t kMaxPageBytes = std::int64_t{64} << 20;
  static constexpr long kMaxRedirects = 10;
  // Long enough for a slow DNS answer, three lost SYNs (1 + 2 + 4 s) and a
  // TLS handshake; short enough that a dead host frees a worker long before
  // the kernel's own two-minute connect time-out.
  static constexpr std::chrono::seconds kConnectTimeout{15};
  static constexpr std::chrono::seconds kDefaultReadTimeout{30};
  static constexpr std::chrono::seconds kMaxReadTimeout{600};
  static constexpr std::int64_t kMinBytesPerSecond = 1024;
  static constexpr std::chrono::seconds kMinSpeedWindow{30};
  // An error page up to this size is read and dropped, keeping its
  // connection for the next request; a longer one is cut off.
  static constexpr std::int64_t kMaxErrorBodyBytes = 64 * 1024;

  // Receives the body as it arrives; returns false when it cannot store the
  // bytes (a full disk), which fails the request.
  using TBodySink = std::function<bool(const char* data, std::size_t size)>;

  // Reads TimeOut, the proxy and the login fields of options. loginURL is
  // the task's start URL: only its host and port get the credentials. With
  // connections, the client uses and keeps the pool's live connections.
  THttpClient(const TRegOptions& options, std::string_view loginURL,
              std::shared_ptr<THttpConnections> connections = nullptr);
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  // Called on the requesting thread after each piece of a body with the
  // number of body bytes received so far in this request. Response() already
  // describes the final response then.
  std::function<void(std::int64_t count)> OnWork;

  // The body as text; a body over kMaxPageBytes fails.
  std::string Get(const std::string& url);
  // The body into sink as it arrives; with maxBytes > 0 a body that is
  // announced or grows beyond maxBytes fails.
  void Get(const std::string& url, const TBodySink& sink, std::int64_t maxBytes = 0);
  // The response headers only; Response().ContentLength tells the size.
  void Head(const std::string& url);

  // Valid after a request returns, and inside OnWork.
  const THttpResponse& Response() const { return response_; }

  // Ends the request in flight, and makes every later one fail at once, with
  // EHttpCancelled.
  void Cancel();

  // The read time-out for a TimeOut in seconds: 0 or less means
  // kDefaultReadTimeout, and longer values are capped at kMaxReadTimeout.
  static std::chrono::seconds ReadTimeout(std::int32_t timeOut);

  // Replaces the speed window, so that a test need not wait half a minute.
  void SetSpeedWindow(std::chrono::milliseconds window) { speedWindow_ = window; }

 private:
  struct TCurl;
  struct TSite {
    std::string Host;  // lower case
    int Port = 0;
    bool operator==(const TSite&) const = default;
  };
  enum class TOutcome { Done, TimedOut, TooSlow, Cancelled };
  using TClock = std::chrono::steady_clock;

  static std::optional<TSite> SiteOf(std::string_view url);
  void Configure(const TRegOptions& options);
  void Transfer(const std::string& url, bool headOnly, const TBodySink* sink, std::int64_t maxBytes);
  TOutcome Run();
  std::chrono::milliseconds TimeLeftToRead() const;
  std::chrono::milliseconds TimeLeftInSpeedWindow() const;
  bool TooSlow();
  void Received(std::size_t bytes);
  void ReadResponseInfo();
  void CheckResponse() const;
  std::string BodyTooLargeText() const;

  static std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
  static int OnRequestReady(void* self, char*, char*, int, int);
  void ReceiveBody(const char* data, std::size_t size);

  std::unique_ptr<TCurl> curl_;
  std::atomic<bool> cancelled_{false};
  std::chrono::seconds readTimeout_;
  std::chrono::milliseconds speedWindow_;
  std::optional<TSite> loginSite_;
  std::optional<std::pair<std::string, std::string>> credentials_;
  THttpResponse response_;

  // The request in flight; url_ as messages show it, without user-info.
  std::string url_;
  const TBodySink* sink_ = nullptr;
  std::int64_t maxBytes_ = 0;
  std::int64_t received_ = 0;
  bool bodyStarted_ = false;
  bool errorBody_ = false;  // the final response is an error: its body is dropped
  // The read clock runs from the moment the request is sent and restarts with
  // every byte received.
  std::optional<TClock::time_point> lastActivity_;
  // The speed window in progress: when it began and the bytes (headers and
  // body) received since.
  TClock::time_point windowStart_;
  std::int64_t windowBytes_ = 0;
  std::exception_ptr callbackError_;
};

}  // namespace vdk
