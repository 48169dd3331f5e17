#include "support/tiny_proxy.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/loopback_port.h"

namespace vdk::test {

TinyProxy::TinyProxy() {
  // Another program may take the port between our pick and tinyproxy's bind;
  // a fresh port then usually works.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (Start()) return;
  }
  throw std::runtime_error("tinyproxy did not start");
}

TinyProxy::~TinyProxy() = default;

bool TinyProxy::Start() {
  port_ = FreeLoopbackPort();
  const std::string config = dir_ / "tinyproxy.conf";
  WriteFile(config, "Port " + std::to_string(port_) +
                        "\n"
                        "Listen 127.0.0.1\n"
                        "Allow 127.0.0.1\n"
                        "Timeout 60\n"
                        "MaxClients 50\n"
                        "LogLevel Critical\n");
  process_ = std::make_unique<ChildProcess>(std::vector<std::string>{"tinyproxy", "-d", "-c", config});

  // Polls the port until the proxy accepts, it ends, or the deadline passes.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (!process_->Running()) return false;
    if (AcceptsConnections(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  process_.reset();
  return false;
}

}  // namespace vdk::test
