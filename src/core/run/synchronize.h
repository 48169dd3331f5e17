#pragma once

#include <functional>
#include <memory>

#include "core/run/cancel_token.h"

namespace vdk {

// Hands work from worker threads to the main thread, which owns every view
// and the run control. The GUI posts through Qt's event loop, the
// command-line runner and the tests through TEventLoop.
//
// A call carries its worker's cancel token: a call whose worker has been
// stopped is dropped on the main thread instead of run, and a worker waiting
// for its call wakes as soon as it is stopped. Since tokens are cancelled on
// the main thread only, a call is either run completely before the stop or
// not at all.
class TSynchronizer {
 public:
  virtual ~TSynchronizer() = default;

  // Runs fn on the main thread while the caller waits (directly when called
  // on the main thread). False when the token was cancelled first: then fn
  // has not run and never will.
  bool Synchronize(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn);

  // Runs fn on the main thread later without waiting, unless the token has
  // been cancelled by then.
  void Queue(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn);

  virtual bool IsMainThread() const = 0;

 protected:
  // Delivers fn to the main thread, in order.
  virtual void Post(std::function<void()> fn) = 0;
};

}  // namespace vdk
