#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <thread>

#include "ui/common/qt_synchronizer.h"

namespace vdk {
namespace {

TEST(QtSynchronizer, WorkerCallsRunOnTheGuiThreadAndStopWaitingWhenCancelled) {
  int argc = 1;
  char name[] = "ui_tests";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
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
  token->Cancel();
  stopped.join();
  QCoreApplication::processEvents();
  EXPECT_TRUE(gaveUp);
  EXPECT_FALSE(ran);

  bool direct = false;
  EXPECT_TRUE(sync->Synchronize(std::make_shared<TCancelToken>(), [&] { direct = true; }));
  EXPECT_TRUE(direct);
}

}  // namespace
}  // namespace vdk
