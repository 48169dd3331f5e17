#include <gtest/gtest.h>

#include <thread>

#include "core/base/file_names.h"
#include "core/run/event_loop.h"

namespace vdk {
namespace {

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
  bool returned = false;
  std::thread worker([&] { returned = !loop->Synchronize(token, [&] { ran = true; }); });
  // The call waits in the queue; cancelling wakes the worker without the loop.
  token->Cancel();
  worker.join();
  EXPECT_TRUE(returned);
  loop->Queue(token, [&] { ran = true; });
  loop->ProcessPending();
  EXPECT_FALSE(ran);
}

TEST(EventLoop, ProcessForEndsEarlyWhenWoken) {
  TEventLoop loop;
  std::thread waker([&] { loop.Wake(); });
  const auto start = std::chrono::steady_clock::now();
  loop.ProcessFor(std::chrono::seconds(30));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  waker.join();
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
