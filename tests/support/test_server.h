#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vdk::test {

// What the test server answers for one path, to GET and HEAD alike.
struct Reply {
  int status = 200;
  std::string body;
  std::string contentType = "text/html";
  std::vector<std::pair<std::string, std::string>> headers;
  // Send the body with chunked transfer encoding (no Content-Length).
  bool chunked = false;
  // Answer HEAD without a Content-Length (as a chunked answer would).
  bool headWithoutLength = false;
  // Wait this long before answering; cut short when the server stops.
  std::chrono::milliseconds delay{0};
  // Announce the whole body but send only this many bytes, then either drop
  // the connection or, with stall, hang until ReleaseStalls or the server stops.
  std::optional<std::size_t> cutAfter;
  bool stall = false;
  // Send the body one byte at a time with this pause before each byte after
  // the first, as a server that trickles (pauses end when released).
  std::chrono::milliseconds trickle{0};
};

struct RecordedRequest {
  std::string method;
  std::string path;  // the raw request target, query included
  httplib::Headers headers;
  int remotePort = 0;  // the client's end of the connection it came on
};

// An HTTP server on 127.0.0.1 with an ephemeral port, run on its own threads
// for the life of the object. Paths are scripted per test with Serve (keyed by
// the raw target with its query, or by the path alone) or Handle (by path);
// anything else answers 404. Every request is recorded.
class TestServer {
 public:
  TestServer();
  // The same over HTTPS, presenting the certificate and key of the PEM files.
  TestServer(const std::string& certFile, const std::string& keyFile);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  // "http://127.0.0.1:<port>" (or "https://...") followed by the path.
  std::string Url(const std::string& path) const;

  void Serve(const std::string& path, Reply reply);
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
  void Handle(const std::string& path, Handler handler);

  std::vector<RecordedRequest> Requests() const;
  int CountRequests(const std::string& method, const std::string& path) const;
  // The connections the recorded requests came on.
  int CountConnections() const;

  // Lets every stalled or delayed answer go on (delays end at once).
  void ReleaseStalls();
  // Blocks until at least n answers are stalled (waiting for release).
  void WaitForStalled(int n);

 private:
  void Start();
  void Dispatch(const httplib::Request& req, httplib::Response& res);
  void Answer(const Reply& reply, const httplib::Request& req, httplib::Response& res);
  // Waits until released or until the deadline; true when released.
  bool WaitGate(std::optional<std::chrono::steady_clock::time_point> deadline);

  std::unique_ptr<httplib::Server> server_;
  std::string scheme_ = "http";
  std::thread thread_;
  std::atomic<bool> listenEnded_{false};
  int port_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable gate_;
  bool released_ = false;
  int stalled_ = 0;
  std::map<std::string, Reply> replies_;
  std::map<std::string, Handler> handlers_;
  std::vector<RecordedRequest> requests_;
};

}  // namespace vdk::test
