#pragma once

namespace vdk::test {

// A 127.0.0.1 port that was free a moment ago (the kernel's pick for port 0):
// nothing listens there, so connecting is refused.
int FreeLoopbackPort();
// True when a TCP connection to 127.0.0.1:port succeeds.
bool AcceptsConnections(int port);

}  // namespace vdk::test
