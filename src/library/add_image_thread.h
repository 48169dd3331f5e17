#pragma once

#include <stop_token>
#include <thread>

namespace vdk {

class TAddImageThreadList;

// One add-image worker: a background thread named "vdk-addimage" that
// catalogues the paths its list hands out, one after the other, until the
// list stops. Destroying it waits for the thread, which by then has at most
// one abandoned decode to leave.
class TAddImageThread {
 public:
  TAddImageThread(TAddImageThreadList& list, std::stop_token stop);
  TAddImageThread(const TAddImageThread&) = delete;
  TAddImageThread& operator=(const TAddImageThread&) = delete;

 private:
  void Execute(std::stop_token stop);

  TAddImageThreadList& list_;
  std::jthread thread_;
};

}  // namespace vdk
