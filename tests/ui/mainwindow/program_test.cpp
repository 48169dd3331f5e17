// The vendrake program as a process: one per user, and a SIGTERM that runs
// the Exit sequence. Runs offscreen under its own session bus.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>

#include "core/settings/reg_settings.h"
#include "platform/browser_registration.h"
#include "platform/registry_file.h"
#include "support/child_process.h"
#include "support/qt_printers.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/mainwindow/browser_automation.h"
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

// Every start refreshes the browser registration, so the user's own folders
// are a temporary home too.
class ProgramTest : public ::testing::Test {
 protected:
  TempDir home, user;
  const ScopedEnv vendrakeHome{"VENDRAKE_HOME", home.Path()};
  const ScopedEnv userHome{"HOME", user.Path()};
  const ScopedEnv data{"XDG_DATA_HOME", user / "data"};
  const ScopedEnv config{"XDG_CONFIG_HOME", user / "config"};
};

int CountFiles(const std::string& folder) {
  if (!fs::exists(folder)) return 0;
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) count += entry.is_regular_file();
  return count;
}

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
  EXPECT_EQ(CountFiles(user.Path()), 4) << "the start refreshed the browser registration";
}

TEST_F(ProgramTest, RegserverAndUnregserverWriteAndRemoveTheirFilesAndKey) {
  EXPECT_EQ(RunProgram({VENDRAKE_PROGRAM, "/RegServer"}), 0);
  const TBrowserRegistration expected = TBrowserRegistration::ForProgram(VENDRAKE_PROGRAM);
  for (const std::string& file : expected.Files()) EXPECT_TRUE(fs::is_regular_file(file)) << file;
  EXPECT_EQ(CountFiles(user.Path()), 4);
  {
    TRegistryFile store(home / "registry.reg");
    EXPECT_TRUE(store.OpenKey(TBrowserRegistration::kMenuKey, false));
  }
  EXPECT_FALSE(fs::exists(home / "Images")) << "registering starts no window";

  EXPECT_EQ(RunProgram({VENDRAKE_PROGRAM, "--UNREGSERVER"}), 0);
  EXPECT_EQ(CountFiles(user.Path()), 0);
  TRegistryFile store(home / "registry.reg");
  EXPECT_FALSE(store.OpenKey(TBrowserRegistration::kMenuKey, false));
}

TEST_F(ProgramTest, TheRunningProgramAnswersTheBrowsersCallsAndRefusesOtherAddresses) {
  ChildProcess program({VENDRAKE_PROGRAM, "-automation"});
  ASSERT_TRUE(WaitForOwner(std::chrono::seconds(60)));
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(TSessionService::kServiceName), QString::fromLatin1(TBrowserAutomation::kObjectPath),
      QString::fromLatin1(TBrowserAutomation::kInterface), QString::fromLatin1(TBrowserAutomation::kMethod));
  call << QStringLiteral("javascript:alert(1)");
  const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 60000);
  EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(reply.errorName(), TBrowserAutomation::kErrorName);
  EXPECT_TRUE(program.Running()) << "a refused request ends nothing";
  EXPECT_EQ(program.Terminate(), 0);
}

}  // namespace
}  // namespace vdk::test
