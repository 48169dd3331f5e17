#pragma once

#include <memory>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace vdk::test {

// Debian's tinyproxy, run in the foreground with its own configuration on an
// ephemeral 127.0.0.1 port for the life of the object. It adds a "Via" header
// naming itself to every request it forwards.
class TinyProxy {
 public:
  // Throws std::runtime_error when the proxy does not come up.
  TinyProxy();
  ~TinyProxy();
  TinyProxy(const TinyProxy&) = delete;
  TinyProxy& operator=(const TinyProxy&) = delete;

  int Port() const { return port_; }

 private:
  // Starts the proxy on port_; false when it ended or never accepted.
  bool Start();

  TempDir dir_;
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

}  // namespace vdk::test
