#include "support/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace vdk::test {
namespace {

bool SendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

}  // namespace

ScriptedServer::ScriptedServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 64) != 0 || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
  port_ = ntohs(address.sin_port);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (auto& [number, connection] : connections_)
      if (!connection.closed) ::shutdown(connection.fd, SHUT_RDWR);
  }
  ::shutdown(listenFd_, SHUT_RDWR);  // ends the blocked accept
  acceptThread_.join();
  for (std::thread& thread : threads_) thread.join();
  ::close(listenFd_);
}

std::string ScriptedServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void ScriptedServer::SetScript(Script script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
}

void ScriptedServer::ServePage(const std::string& target, std::string html) {
  std::lock_guard lock(mutex_);
  pages_[target] = std::move(html);
}

std::vector<ScriptedServer::Request> ScriptedServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void ScriptedServer::WaitForRequests(std::size_t count) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return requests_.size() >= count; });
}

int ScriptedServer::Accepted() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(connections_.size());
}

bool ScriptedServer::WaitClosed(int count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return closed_ >= count; });
}

void ScriptedServer::CloseIdle() {
  std::unique_lock lock(mutex_);
  std::vector<int> closing;
  for (auto& [number, connection] : connections_) {
    if (connection.closed || !connection.idle) continue;
    ::shutdown(connection.fd, SHUT_RDWR);
    closing.push_back(number);
  }
  changed_.wait(lock, [&] {
    return std::all_of(closing.begin(), closing.end(), [&](int number) { return connections_[number].closed; });
  });
}

void ScriptedServer::AcceptLoop() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    std::lock_guard lock(mutex_);
    if (fd < 0 || stopping_) {
      if (fd >= 0) ::close(fd);
      return;
    }
    const int number = static_cast<int>(connections_.size()) + 1;
    connections_[number].fd = fd;
    threads_.emplace_back([this, number] { Serve(number); });
  }
}

void ScriptedServer::Serve(int number) {
  int fd = -1;
  {
    std::lock_guard lock(mutex_);
    fd = connections_[number].fd;
  }
  const std::string image(kBodySize, 'x');
  for (int index = 1;; ++index) {
    Request request{number, index, {}, {}, {}};
    if (!ReadRequest(number, request)) return Finish(number, false);
    Script script;
    std::string body = image;
    std::string type = "image/jpeg";
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
      changed_.notify_all();
      script = script_;
      if (const auto page = pages_.find(request.target); page != pages_.end()) {
        body = page->second;
        type = "text/html";
      }
    }
    const Action action = script ? script(request) : Action::Answer;
    const std::string head =
        "HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    switch (action) {
      case Action::Answer:
        SetIdle(number, true);  // from the moment the client may have the whole answer
        if (!SendAll(fd, head + (request.method == "HEAD" ? "" : body))) return Finish(number, false);
        break;
      case Action::Close:
        return Finish(number, false);
      case Action::Reset:
        return Finish(number, true);
      case Action::ResetMidBody:
        SendAll(fd, head + body.substr(0, 10));
        return Finish(number, true);
      case Action::Stall: {
        char byte;
        while (::recv(fd, &byte, 1, 0) > 0) {
        }
        return Finish(number, false);
      }
    }
  }
}

// Reads one request head (requests here carry no body); false when the
// connection ended first.
bool ScriptedServer::ReadRequest(int number, Request& request) {
  int fd = -1;
  {
    std::lock_guard lock(mutex_);
    fd = connections_[number].fd;
  }
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  SetIdle(number, false);
  std::size_t start = 0;
  for (std::size_t end; (end = head.find("\r\n", start)) != std::string::npos && end > start; start = end + 2) {
    const std::string line = head.substr(start, end - start);
    if (start == 0) {
      const auto space = line.find(' ');
      request.method = line.substr(0, space);
      request.target = line.substr(space + 1, line.rfind(' ') - space - 1);
    } else if (const auto colon = line.find(':'); colon != std::string::npos) {
      request.headers[Lower(line.substr(0, colon))] = Trimmed(line.substr(colon + 1));
    }
  }
  return true;
}

void ScriptedServer::SetIdle(int number, bool idle) {
  std::lock_guard lock(mutex_);
  connections_[number].idle = idle;
}

void ScriptedServer::Finish(int number, bool reset) {
  std::lock_guard lock(mutex_);
  TConnection& connection = connections_[number];
  if (reset) {
    const linger abort{1, 0};  // close sends RST instead of FIN
    ::setsockopt(connection.fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  }
  ::close(connection.fd);
  connection.closed = true;
  ++closed_;
  changed_.notify_all();
}

}  // namespace vdk::test
