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
//
// Calls are gathered: one delivery to the main thread runs, in order, every
// call that arrived since the previous one, so a main thread that is slow to
// get to its events costs a worker one wait per batch, not one per call. A
// delivery that nobody waits for may wait a moment for more calls
// (PostGathered); once a worker waits for one of its calls, the main thread
// is hurried.
//
// Threads: Synchronize and Queue from any thread; the gathered calls are
// guarded by the synchronizer's own lock.
class TSynchronizer {
 public:
  TSynchronizer();
  virtual ~TSynchronizer();
  TSynchronizer(const TSynchronizer&) = delete;
  TSynchronizer& operator=(const TSynchronizer&) = delete;

  // Runs fn on the main thread while the caller waits (directly when called
  // on the main thread). False when the token was cancelled first, or when
  // the main thread is gone: then fn has not run and never will.
  bool Synchronize(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn);

  // Runs fn on the main thread later without waiting, unless the token has
  // been cancelled by then.
  void Queue(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn);

  // The main thread's wake-up that a call queued under a lock of the
  // caller's still owes; posted when the object goes (or at once when
  // assigned over). Declared before the caller's lock, it goes after the
  // lock is released, so that the main thread does not wake up only to wait
  // for that lock.
  class TPendingPost {
   public:
    TPendingPost() = default;
    TPendingPost(TPendingPost&& other) noexcept : post_(std::move(other.post_)) { other.post_ = nullptr; }
    TPendingPost& operator=(TPendingPost&& other) noexcept;
    ~TPendingPost() { Send(); }

   private:
    friend class TSynchronizer;
    explicit TPendingPost(std::function<void()> post) : post_(std::move(post)) {}
    void Send() noexcept;
    std::function<void()> post_;
  };
  // Queue, with the call in its place among the others at once and the
  // wake-up left to the returned object, which must not outlive the
  // synchronizer.
  [[nodiscard]] TPendingPost QueueHeld(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn);

  virtual bool IsMainThread() const = 0;

 protected:
  // Delivers fn to the main thread. False when the main thread takes no
  // calls any more. At most one delivery is on its way at a time; it is
  // posted outside the synchronizer's lock, from any thread.
  virtual bool Post(std::function<void()> fn) = 0;
  // Delivers fn, which no worker waits for yet: the main thread may run it a
  // moment later, with the calls that arrive meanwhile. Hurry is called when
  // a worker comes to wait for the delivery on its way.
  virtual bool PostGathered(std::function<void()> fn) { return Post(std::move(fn)); }
  virtual void Hurry() {}
  // The main thread is gone: the calls gathered so far and every later one
  // are dropped, and the workers waiting for theirs are released at once.
  // The returned function does that and may be called after the
  // synchronizer itself is gone.
  std::function<void()> Closer() const;

 private:
  struct TReply;
  struct TCall;
  struct TCalls;
  class TDelivery;

  // What adding a call owes the main thread.
  struct TWake {
    std::function<void()> Delivery;  // to post: none was on its way
    bool Urgent = false;             // a worker waits: post it, or hurry the one on its way
  };
  // Gathers the call.
  TWake Add(TCall call);
  void Deliver(const TWake& wake);

  std::shared_ptr<TCalls> calls_;
};

}  // namespace vdk
