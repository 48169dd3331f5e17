#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>

#include "core/base/file_names.h"
#include "core/run/event_loop.h"

namespace vdk {
namespace {

// Returns once a thread is blocked waiting on the token (at most 30 s, so
// that a broken wait fails instead of hanging).
bool WaitUntilWaiting(TCancelToken& token) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (token.Waiters() == 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

// An event loop that counts the deliveries posted to it, to run at once
// (posts) or gathered, and the hurries.
struct CountingLoop : TEventLoop {
  std::atomic<int> posts = 0;
  std::atomic<int> gathered = 0;
  std::atomic<int> hurries = 0;
  bool Post(std::function<void()> fn) override {
    ++posts;
    return TEventLoop::Post(std::move(fn));
  }
  bool PostGathered(std::function<void()> fn) override {
    ++gathered;
    return TEventLoop::PostGathered(std::move(fn));
  }
  void Hurry() override {
    ++hurries;
    TEventLoop::Hurry();
  }
  int Deliveries() const { return posts + gathered; }
};

auto In(std::chrono::seconds seconds) { return std::chrono::steady_clock::now() + seconds; }

TEST(EventLoopSynchronize, RunsCallsOnTheLoopThreadInOrder) {
  auto loop = std::make_shared<TEventLoop>();
  auto token = std::make_shared<TCancelToken>();
  std::vector<int> order;
  std::thread::id ranOn;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(loop->Synchronize(token, [&, i] {
        order.push_back(i);
        ranOn = std::this_thread::get_id();
      }));
    }
  });
  ASSERT_TRUE(loop->ProcessUntil([&] { return order.size() == 3; },
                                 std::chrono::steady_clock::now() + std::chrono::seconds(10)));
  worker.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  // On the loop's own thread a call runs at once.
  bool direct = false;
  EXPECT_TRUE(loop->Synchronize(token, [&] { direct = true; }));
  EXPECT_TRUE(direct);
}

TEST(EventLoopSynchronize, ACancelledWorkerStopsWaitingAndItsCallsAreDropped) {
  auto loop = std::make_shared<TEventLoop>();
  auto token = std::make_shared<TCancelToken>();
  bool ran = false;
  std::promise<bool> gaveUp;
  std::thread worker([&] { gaveUp.set_value(!loop->Synchronize(token, [&] { ran = true; })); });
  // The call waits in the queue and the worker waits for it; cancelling
  // wakes the worker without the loop.
  ASSERT_TRUE(WaitUntilWaiting(*token));
  token->Cancel();
  auto result = gaveUp.get_future();
  ASSERT_EQ(result.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "the worker still waits";
  worker.join();
  EXPECT_TRUE(result.get());
  loop->Queue(token, [&] { ran = true; });
  loop->ProcessPending();
  EXPECT_FALSE(ran);
}

TEST(EventLoopSynchronize, CallsThatArriveTogetherAreDeliveredTogetherInOrder) {
  CountingLoop loop;
  auto token = std::make_shared<TCancelToken>();
  std::vector<int> order;
  for (int i = 0; i < 3; ++i) loop.Queue(token, [&, i] { order.push_back(i); });
  auto stopped = std::make_shared<TCancelToken>();
  loop.Queue(stopped, [&] { order.push_back(-1); });
  stopped->Cancel();  // dropped on arrival
  EXPECT_EQ(loop.Deliveries(), 1);
  loop.ProcessPending();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  loop.Queue(token, [&] { order.push_back(3); });
  EXPECT_EQ(loop.Deliveries(), 2);
  loop.ProcessPending();
  EXPECT_EQ(order.back(), 3);
}

TEST(EventLoopSynchronize, AHeldCallKeepsItsPlaceAndTheLoopIsToldWhenItsPostGoes) {
  CountingLoop loop;
  auto token = std::make_shared<TCancelToken>();
  std::vector<int> order;
  {
    TSynchronizer::TPendingPost pending = loop.QueueHeld(token, [&] { order.push_back(1); });
    loop.Queue(token, [&] { order.push_back(2); });  // goes with the same delivery
    TSynchronizer::TPendingPost moved = std::move(pending);
    EXPECT_EQ(loop.Deliveries(), 0);
    loop.ProcessPending();
    EXPECT_TRUE(order.empty());
  }
  EXPECT_EQ(loop.Deliveries(), 1);
  loop.ProcessPending();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  // With a delivery on its way, a held call owes no post of its own.
  loop.Queue(token, [&] { order.push_back(3); });
  {
    auto pending = loop.QueueHeld(token, [&] { order.push_back(4); });
  }
  EXPECT_EQ(loop.Deliveries(), 2);
  loop.ProcessPending();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST(EventLoopSynchronize, CallsNobodyWaitsForAreGatheredUntilAWorkerWaitsForOne) {
  CountingLoop loop;
  auto token = std::make_shared<TCancelToken>();
  std::vector<int> order;
  loop.Queue(token, [&] { order.push_back(1); });
  EXPECT_EQ(loop.gathered, 1);
  EXPECT_EQ(loop.posts, 0);
  // A waited call joins the gathered delivery and hurries it.
  std::thread worker([&] { EXPECT_TRUE(loop.Synchronize(token, [&] { order.push_back(2); })); });
  ASSERT_TRUE(WaitUntilWaiting(*token));
  EXPECT_EQ(loop.hurries, 1);
  ASSERT_TRUE(loop.ProcessUntil([&] { return order.size() == 2; }, In(std::chrono::seconds(30))));
  worker.join();
  // With nothing on its way, a waited call is posted to run at once.
  std::thread second([&] { EXPECT_TRUE(loop.Synchronize(token, [&] { order.push_back(3); })); });
  ASSERT_TRUE(WaitUntilWaiting(*token));
  EXPECT_EQ(loop.posts, 1);
  ASSERT_TRUE(loop.ProcessUntil([&] { return order.size() == 3; }, In(std::chrono::seconds(30))));
  second.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(loop.gathered, 1);
  EXPECT_EQ(loop.hurries, 1);
}

// A loop waiting far ahead learns of a gathered call and runs it about
// kGatherTime later, not at the end of its wait.
TEST(EventLoop, AGatheredCallEndsALongWaitSoon) {
  TEventLoop loop;
  auto token = std::make_shared<TCancelToken>();
  std::atomic<bool> ran = false;
  std::thread worker([&] { loop.Queue(token, [&] { ran = true; }); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(loop.ProcessUntil([&] { return ran.load(); }, In(std::chrono::seconds(30))));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  worker.join();
}

TEST(EventLoopSynchronize, ACallThatThrowsCostsOnlyItself) {
  auto loop = std::make_shared<TEventLoop>();
  auto token = std::make_shared<TCancelToken>();
  std::vector<int> order;
  std::promise<bool> answered;
  std::thread worker([&] { answered.set_value(loop->Synchronize(token, [] { throw std::runtime_error("no"); })); });
  ASSERT_TRUE(WaitUntilWaiting(*token));
  loop->Queue(token, [&] { order.push_back(1); });
  EXPECT_THROW(loop->ProcessPending(), std::runtime_error);
  worker.join();
  EXPECT_FALSE(answered.get_future().get());  // released, not left waiting
  EXPECT_EQ(order, std::vector<int>{1});
}

TEST(EventLoop, ProcessForEndsEarlyWhenWoken) {
  TEventLoop loop;
  std::thread waker([&] { loop.Wake(); });
  const auto start = std::chrono::steady_clock::now();
  loop.ProcessFor(std::chrono::seconds(30));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  waker.join();
}

TEST(EventLoop, WakeEndsProcessUntil) {
  TEventLoop loop;
  std::thread waker([&] { loop.Wake(); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(loop.ProcessUntil([] { return false; }, start + std::chrono::seconds(30)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  waker.join();
  // The wake is used up: the next wait runs to its deadline.
  EXPECT_FALSE(loop.ProcessUntil([] { return false; }, std::chrono::steady_clock::now()));
}

TEST(ProgressText, PercentRoundsHalfToEven) {
  EXPECT_EQ(PercentText(1, 8), "12%");  // 12.5
  EXPECT_EQ(PercentText(3, 8), "38%");  // 37.5
  EXPECT_EQ(PercentText(1, 40), "2%");  // 2.5, exact despite binary fractions
  EXPECT_EQ(PercentText(3, 40), "8%");  // 7.5
  EXPECT_EQ(PercentText(2, 3), "67%");
  EXPECT_EQ(PercentText(10, 10), "100%");
  EXPECT_EQ(PercentText(5, 0), "---");
  EXPECT_EQ(PercentText(5, -1), "---");
  EXPECT_EQ(PercentText(std::int64_t{3} << 40, std::int64_t{6} << 40), "50%");  // 64-bit sizes
  EXPECT_EQ(SizeText(0), "---");
  EXPECT_EQ(SizeText(std::int64_t{5} << 32), "21474836480");
}

TEST(SafeFileName, KeepsEveryNameInsideItsFolder) {
  EXPECT_EQ(SafeFileName("pic.jpg"), "pic.jpg");
  EXPECT_EQ(SafeFileName(""), "_");
  EXPECT_EQ(SafeFileName("."), "_");
  EXPECT_EQ(SafeFileName(".."), "_");
  EXPECT_EQ(SafeFileName("a/../b.gif"), "a_.._b.gif");
  EXPECT_EQ(SafeFileName(std::string("a\nb.gif")), "a_b.gif");
  EXPECT_EQ(SafeFileName("%2e%2e"), "%2e%2e");  // no percent-decoding, so nothing to escape
  const std::string longName = std::string(400, 'x') + ".jpeg";
  const std::string safe = SafeFileName(longName);
  EXPECT_LE(safe.size() + 4 + 12, 255u);
  EXPECT_TRUE(safe.ends_with("x.jpeg"));
}

}  // namespace
}  // namespace vdk
