#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vdk::test {

// A keep-alive HTTP/1.1 server on 127.0.0.1 with an ephemeral port that
// counts the connections it accepts and closes, and answers each request as
// the test's script says, down to dropping or resetting the connection. Every
// connection runs on its own thread for the life of the object.
class ScriptedServer {
 public:
  enum class Action {
    Answer,        // 200 with the path's page, else a 100-byte image (headers only to HEAD)
    Close,         // closes the connection without answering
    Reset,         // resets the connection without answering
    ResetMidBody,  // announces 100 bytes, sends 10, then resets
    Stall,         // never answers; the connection ends when the client's does
  };
  struct Request {
    int connection = 0;  // 1 for the first connection accepted
    int index = 0;       // 1 for the connection's first request
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers;  // names in lower case
  };
  using Script = std::function<Action(const Request&)>;
  static constexpr std::size_t kBodySize = 100;

  ScriptedServer();
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  std::string Url(const std::string& path) const;
  // Answer to every request unless a script is set.
  void SetScript(Script script);
  // What Answer sends for target, as text/html.
  void ServePage(const std::string& target, std::string html);

  std::vector<Request> Requests() const;
  // Blocks until count requests have arrived.
  void WaitForRequests(std::size_t count);
  int Accepted() const;
  // Waits (at most timeout) until count connections have ended, by either
  // side; false when they have not.
  bool WaitClosed(int count, std::chrono::milliseconds timeout);
  // Closes every connection that waits for its next request, as a server
  // whose keep-alive time-out ran out; returns when they are closed.
  void CloseIdle();

 private:
  struct TConnection {
    int fd = -1;
    bool idle = false;
    bool closed = false;
  };
  void AcceptLoop();
  void Serve(int number);
  bool ReadRequest(int number, Request& request);
  // Idle: answered, its next request not arrived yet.
  void SetIdle(int number, bool idle);
  void Finish(int number, bool reset);

  int listenFd_ = -1;
  int port_ = 0;
  std::thread acceptThread_;
  std::vector<std::thread> threads_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  Script script_;
  std::map<std::string, std::string> pages_;
  std::vector<Request> requests_;
  std::map<int, TConnection> connections_;
  int closed_ = 0;
};

}  // namespace vdk::test
