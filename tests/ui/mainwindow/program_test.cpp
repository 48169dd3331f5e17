// The vendrake program as a process: one per user, and a SIGTERM that runs
// the Exit sequence. Runs offscreen under its own session bus.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>

#include "core/settings/reg_settings.h"
#include "platform/registry_file.h"
#include "support/child_process.h"
#include "support/qt_printers.h"
#include "support/temp_dir.h"
#include "ui/mainwindow/session_service.h"

namespace vdk::test {
namespace {

namespace fs = std::filesystem;

// Waits, through the bus's own signal, until the program owns its name.
bool WaitForOwner(std::chrono::milliseconds timeout) {
  const QString name = QString::fromLatin1(TSessionService::kServiceName);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.interface()->isServiceRegistered(name)) return true;
  QEventLoop loop;
  QDBusServiceWatcher watcher(name, bus, QDBusServiceWatcher::WatchForRegistration);
  QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, &QEventLoop::quit);
  QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
  if (!bus.interface()->isServiceRegistered(name)) loop.exec();
  return bus.interface()->isServiceRegistered(name);
}

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() { ::setenv("VENDRAKE_HOME", home.Path().c_str(), 1); }
  ~ProgramTest() override { ::unsetenv("VENDRAKE_HOME"); }
  TempDir home;
};

TEST_F(ProgramTest, ASecondStartHandsOverAndTheFirstEndsSavedOnSigterm) {
  ChildProcess first({VENDRAKE_PROGRAM});
  ASSERT_TRUE(WaitForOwner(std::chrono::seconds(60)));

  EXPECT_EQ(RunProgram({VENDRAKE_PROGRAM}), 0) << "the second start finds the first and ends";
  EXPECT_TRUE(first.Running());

  EXPECT_EQ(first.Terminate(), 0);
  // The Exit sequence ran: the settings with the sample tasks' flag, and the log.
  TRegSettings stored(std::make_unique<TRegistryFile>(home / "registry.reg"), home.Path());
  stored.LoadFromRegistry();
  EXPECT_TRUE(stored.Options.DefaultTaskAdded);
  int logs = 0;
  for (const auto& entry : fs::directory_iterator(home / "Images/Logs")) logs += entry.path().extension() == ".rtf";
  EXPECT_EQ(logs, 1);
  EXPECT_TRUE(fs::exists(home / "imglib.db"));
}

}  // namespace
}  // namespace vdk::test
