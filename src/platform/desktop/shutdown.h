#pragma once

#include <QString>

namespace vdk {

// What a power-off request came to: on failure, the reason for the user.
struct TShutdownResult {
  bool Requested = false;
  QString Error;
};

// Asks the system to power the computer off. The program uses the logind
// implementation; every test uses a recording fake, so that no test can ever
// power off, reboot or suspend a machine. Used on the GUI thread only.
class TShutdown {
 public:
  virtual ~TShutdown() = default;
  virtual TShutdownResult PowerOff() = 0;
};

}  // namespace vdk
