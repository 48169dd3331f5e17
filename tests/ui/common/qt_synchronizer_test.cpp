#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <future>
#include <thread>

#include "ui/common/qt_synchronizer.h"

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

TEST(QtSynchronizer, WorkerCallsRunOnTheGuiThreadAndStopWaitingWhenCancelled) {
  QCoreApplication& app = *QCoreApplication::instance();
  auto sync = std::make_shared<TQtSynchronizer>(&app);
  auto token = std::make_shared<TCancelToken>();
  EXPECT_TRUE(sync->IsMainThread());

  QThread* ranOn = nullptr;
  bool workerDone = false;
  std::thread worker([&] {
    EXPECT_FALSE(sync->IsMainThread());
    EXPECT_TRUE(sync->Synchronize(token, [&] { ranOn = QThread::currentThread(); }));
    QMetaObject::invokeMethod(
        &app, [&] { workerDone = true; }, Qt::QueuedConnection);
  });
  while (!workerDone) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  worker.join();
  EXPECT_EQ(ranOn, app.thread());

  // A stopped worker does not wait for the GUI thread, and its call is dropped.
  bool ran = false;
  bool gaveUp = false;
  std::thread stopped([&] { gaveUp = !sync->Synchronize(token, [&] { ran = true; }); });
  ASSERT_TRUE(WaitUntilWaiting(*token));
  token->Cancel();
  stopped.join();
  QCoreApplication::processEvents();
  EXPECT_TRUE(gaveUp);
  EXPECT_FALSE(ran);

  bool direct = false;
  EXPECT_TRUE(sync->Synchronize(std::make_shared<TCancelToken>(), [&] { direct = true; }));
  EXPECT_TRUE(direct);
}

TEST(QtSynchronizer, AWorkerWaitingOnAContextThatGoesAwayIsReleasedAtOnce) {
  auto context = std::make_unique<QObject>();
  auto sync = std::make_shared<TQtSynchronizer>(context.get());
  auto token = std::make_shared<TCancelToken>();
  bool ran = false;
  std::promise<bool> answered;
  std::thread worker([&] { answered.set_value(sync->Synchronize(token, [&] { ran = true; })); });
  ASSERT_TRUE(WaitUntilWaiting(*token));
  context.reset();  // its pending call goes with it
  auto result = answered.get_future();
  const bool released = result.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  if (!released) token->Cancel();  // let the thread end before failing
  worker.join();
  ASSERT_TRUE(released) << "the worker still waited for a context that is gone";
  EXPECT_FALSE(result.get());
  EXPECT_FALSE(token->Cancelled());

  // Later calls return at once, unrun.
  std::thread late([&] { EXPECT_FALSE(sync->Synchronize(token, [&] { ran = true; })); });
  late.join();
  sync->Queue(token, [&] { ran = true; });
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace vdk
