#include "support/test_server.h"

#include <set>
#include <stdexcept>

namespace vdk::test {

TestServer::TestServer() : server_(std::make_unique<httplib::Server>()) { Start(); }

TestServer::TestServer(const std::string& certFile, const std::string& keyFile)
    : server_(std::make_unique<httplib::SSLServer>(certFile.c_str(), keyFile.c_str())), scheme_("https") {
  if (!server_->is_valid()) throw std::runtime_error("test server: cannot load " + certFile);
  Start();
}

void TestServer::Start() {
  // Enough threads for several tasks' workers plus stalled answers.
  server_->new_task_queue = [] { return new httplib::ThreadPool(48); };
  // Headers and body go out in separate writes; without this the body waits
  // for the client's delayed ACK (about 40 ms per answer).
  server_->set_tcp_nodelay(true);
  // Clients keep their connections between requests; the default closes one
  // after five.
  server_->set_keep_alive_max_count(100000);
  const auto handler = [this](const httplib::Request& req, httplib::Response& res) { Dispatch(req, res); };
  server_->Get(".*", handler);
  server_->Post(".*", handler);
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("test server: cannot bind 127.0.0.1");
  // The socket listens from here on, so clients may connect before the accept
  // loop runs: nothing needs to wait for the thread.
  thread_ = std::thread([this] {
    server_->listen_after_bind();
    listenEnded_ = true;
  });
}

TestServer::~TestServer() {
  ReleaseStalls();
  // cpp-httplib's stop() does nothing until the accept loop has marked itself
  // running, so a server destroyed right after its start would never stop.
  // The loop starts within microseconds of the thread.
  while (!server_->is_running() && !listenEnded_) std::this_thread::yield();
  server_->stop();
  thread_.join();
}

std::string TestServer::Url(const std::string& path) const { return scheme_ + "://" + Host() + path; }

void TestServer::Serve(const std::string& path, Reply reply) {
  std::lock_guard lock(mutex_);
  replies_[path] = std::move(reply);
}

void TestServer::Handle(const std::string& path, Handler handler) {
  std::lock_guard lock(mutex_);
  handlers_[path] = std::move(handler);
}

std::vector<RecordedRequest> TestServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int TestServer::CountRequests(const std::string& method, const std::string& path) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const auto& r : requests_) n += (r.method == method && r.path == path) ? 1 : 0;
  return n;
}

int TestServer::CountConnections() const {
  std::lock_guard lock(mutex_);
  std::set<int> ports;
  for (const auto& r : requests_) ports.insert(r.remotePort);
  return static_cast<int>(ports.size());
}

void TestServer::ReleaseStalls() {
  std::lock_guard lock(mutex_);
  released_ = true;
  gate_.notify_all();
}

void TestServer::WaitForStalled(int n) {
  std::unique_lock lock(mutex_);
  gate_.wait(lock, [&] { return stalled_ >= n; });
}

bool TestServer::WaitGate(std::optional<std::chrono::steady_clock::time_point> deadline) {
  std::unique_lock lock(mutex_);
  ++stalled_;
  gate_.notify_all();
  const auto released = [this] { return released_; };
  const bool ok = deadline ? gate_.wait_until(lock, *deadline, released) : (gate_.wait(lock, released), true);
  --stalled_;
  return ok;
}

void TestServer::Dispatch(const httplib::Request& req, httplib::Response& res) {
  // Routes on the raw request target, so tests see exactly what was asked for.
  const std::string& target = req.target;
  const std::string path = target.substr(0, target.find('?'));
  Handler handler;
  std::optional<Reply> reply;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back({req.method, target, req.headers, req.remote_port});
    if (auto h = handlers_.find(path); h != handlers_.end())
      handler = h->second;
    else if (auto r = replies_.find(target); r != replies_.end())
      reply = r->second;
    else if (auto p = replies_.find(path); p != replies_.end())
      reply = p->second;
  }
  if (handler) return handler(req, res);
  if (!reply) {
    res.status = 404;
    res.set_content("Not Found", "text/plain");
    return;
  }
  Answer(*reply, req, res);
}

void TestServer::Answer(const Reply& reply, const httplib::Request& req, httplib::Response& res) {
  if (reply.delay.count() > 0) WaitGate(std::chrono::steady_clock::now() + reply.delay);
  res.status = reply.status;
  for (const auto& [k, v] : reply.headers) res.set_header(k, v);
  const auto body = std::make_shared<std::string>(reply.body);
  const std::string type = reply.contentType;

  if (req.method == "HEAD" && reply.headWithoutLength) {
    res.set_chunked_content_provider(type, [](std::size_t, httplib::DataSink& sink) {
      sink.done();
      return true;
    });
  } else if (reply.cutAfter) {
    const std::size_t cut = std::min(*reply.cutAfter, body->size());
    const bool stall = reply.stall;
    res.set_content_provider(body->size(), type,
                             [this, body, cut, stall](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset < cut) {
                                 sink.write(body->data() + offset, cut - offset);
                                 return true;
                               }
                               if (stall) WaitGate(std::nullopt);
                               return false;  // drops the connection with the body incomplete
                             });
  } else if (reply.trickle.count() > 0) {
    const auto pause = reply.trickle;
    res.set_content_provider(body->size(), type,
                             [this, body, pause](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset > 0) WaitGate(std::chrono::steady_clock::now() + pause);
                               return sink.write(body->data() + offset, 1);
                             });
  } else if (reply.chunked) {
    res.set_chunked_content_provider(type, [body](std::size_t offset, httplib::DataSink& sink) {
      if (offset < body->size()) {
        sink.write(body->data() + offset, std::min<std::size_t>(4096, body->size() - offset));
      } else {
        sink.done();
      }
      return true;
    });
  } else {
    res.set_content(*body, type);
  }
}

}  // namespace vdk::test
