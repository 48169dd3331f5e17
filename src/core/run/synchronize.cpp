#include "core/run/synchronize.h"

#include <exception>
#include <mutex>
#include <vector>

namespace vdk {

// What a waiting worker waits for; changed under its token's lock.
struct TSynchronizer::TReply {
  bool Done = false;
  bool Dropped = false;
};

struct TSynchronizer::TCall {
  std::shared_ptr<TCancelToken> Token;
  std::function<void()> Fn;
  std::shared_ptr<TReply> Reply;  // empty for a call nobody waits for

  void Drop() {
    if (Reply) Token->Notify([this] { Reply->Dropped = true; });
  }
};

// The calls gathered for the next delivery. Shared with the deliveries on
// their way, which may outlive the synchronizer.
struct TSynchronizer::TCalls {
  std::mutex Lock;
  std::vector<TCall> Waiting;
  bool Posted = false;  // a delivery is on its way to the main thread
  bool Urgent = false;  // and a worker waits for it
  bool Closed = false;

  // On the main thread: runs what has arrived, in order, dropping the calls
  // of stopped workers. A call that throws costs only itself: the others
  // still run, then the first failure reaches the main thread's loop.
  void RunAll() {
    std::vector<TCall> batch;
    {
      std::lock_guard lock(Lock);
      batch.swap(Waiting);
      Posted = false;
      Urgent = false;
    }
    std::exception_ptr failure;
    for (TCall& call : batch) {
      if (call.Token->Cancelled()) continue;  // its worker woke when it was stopped
      try {
        call.Fn();
      } catch (...) {
        if (!failure) failure = std::current_exception();
        call.Drop();
        continue;
      }
      if (call.Reply) call.Token->Notify([&call] { call.Reply->Done = true; });
    }
    if (failure) std::rethrow_exception(failure);
  }

  void Close() {
    std::vector<TCall> dropped;
    {
      std::lock_guard lock(Lock);
      Closed = true;
      dropped.swap(Waiting);
    }
    for (TCall& call : dropped) call.Drop();
  }
};

// One delivery to the main thread. When the main thread throws it away
// unrun (its event loop or context object went away), nothing would ever run
// the calls: they are dropped and the synchronizer closes.
class TSynchronizer::TDelivery {
 public:
  explicit TDelivery(std::shared_ptr<TCalls> calls) : calls_(std::move(calls)) {}
  ~TDelivery() {
    if (!ran_) calls_->Close();
  }
  void Run() {
    ran_ = true;
    calls_->RunAll();
  }

 private:
  std::shared_ptr<TCalls> calls_;
  bool ran_ = false;
};

TSynchronizer::TSynchronizer() : calls_(std::make_shared<TCalls>()) {}

TSynchronizer::~TSynchronizer() = default;

bool TSynchronizer::Synchronize(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn) {
  if (IsMainThread()) {
    if (token->Cancelled()) return false;
    fn();
    return true;
  }
  auto reply = std::make_shared<TReply>();
  Deliver(Add({token, std::move(fn), reply}));
  return token->Wait([&] { return reply->Done || reply->Dropped; }) && reply->Done;
}

void TSynchronizer::Queue(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn) {
  Deliver(Add({token, std::move(fn), nullptr}));
}

TSynchronizer::TPendingPost TSynchronizer::QueueHeld(const std::shared_ptr<TCancelToken>& token,
                                                     std::function<void()> fn) {
  TWake wake = Add({token, std::move(fn), nullptr});
  if (!wake.Delivery) return {};  // a call nobody waits for owes no hurry
  return TPendingPost([this, wake = std::move(wake)] { Deliver(wake); });
}

TSynchronizer::TWake TSynchronizer::Add(TCall call) {
  std::unique_lock lock(calls_->Lock);
  if (calls_->Closed) {
    lock.unlock();
    call.Drop();
    return {};
  }
  const bool urgent = call.Reply != nullptr;
  calls_->Waiting.push_back(std::move(call));
  if (calls_->Posted) {
    if (!urgent || calls_->Urgent) return {};
    calls_->Urgent = true;
    return {nullptr, true};
  }
  calls_->Posted = true;
  calls_->Urgent = urgent;
  auto delivery = std::make_shared<TDelivery>(calls_);
  return {[delivery] { delivery->Run(); }, urgent};
}

// Posted outside the synchronizer's lock: waking the main thread under it
// would have the main thread, and every worker adding a call meanwhile, wait
// for the lock while the wake-up is under way. A Close in between drops the
// calls; the delivery then finds none. A hurry that comes after its delivery
// ran costs the main thread a look at an empty queue.
void TSynchronizer::Deliver(const TWake& wake) {
  if (!wake.Delivery) {
    if (wake.Urgent) Hurry();
    return;
  }
  if (!(wake.Urgent ? Post(wake.Delivery) : PostGathered(wake.Delivery))) calls_->Close();
}

TSynchronizer::TPendingPost& TSynchronizer::TPendingPost::operator=(TPendingPost&& other) noexcept {
  if (this != &other) {
    Send();
    post_ = std::move(other.post_);
    other.post_ = nullptr;
  }
  return *this;
}

void TSynchronizer::TPendingPost::Send() noexcept {
  if (!post_) return;
  const auto post = std::move(post_);
  post_ = nullptr;
  post();
}

std::function<void()> TSynchronizer::Closer() const {
  return [calls = calls_] { calls->Close(); };
}

}  // namespace vdk
