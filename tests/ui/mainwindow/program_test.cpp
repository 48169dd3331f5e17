// The vendrake program as a process: one per user, and a SIGTERM that runs
// the Exit sequence. Runs offscreen under its own session bus.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <fstream>

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

QDBusMessage CreateUrlCall(const QString& url) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(TSessionService::kServiceName), QString::fromLatin1(TBrowserAutomation::kObjectPath),
      QString::fromLatin1(TBrowserAutomation::kInterface), QString::fromLatin1(TBrowserAutomation::kMethod));
  call << url;
  return call;
}

// A bus daemon of the test's own whose only activation folder is the one the
// registration writes to, so a request can start the program as a desktop's
// session bus would. The address goes into the environment before the daemon
// starts: the programs it activates inherit it.
class ActivatingBus {
 public:
  ActivatingBus(const fs::path& folder, const fs::path& services)
      : address_("unix:path=" + (folder / "bus").string()), environment_("DBUS_SESSION_BUS_ADDRESS", address_) {
    const fs::path config = folder / "bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type><listen>" << address_ << "</listen>"
                          << "<servicedir>" << services.string() << "</servicedir>"
                          << "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                          << "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>";
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                   QStringLiteral("--config-file=") + QString::fromStdString(config.string())});
  }
  ~ActivatingBus() {
    QDBusConnection::disconnectFromBus(kConnection);
    daemon_.terminate();
    daemon_.waitForFinished();
  }

  // The daemon prints its address once it listens.
  QDBusConnection Connect() {
    if (daemon_.waitForReadyRead(30000))
      return QDBusConnection::connectToBus(QString::fromStdString(address_), kConnection);
    return QDBusConnection(kConnection);
  }

 private:
  static inline const QString kConnection = QStringLiteral("activating-bus");
  const std::string address_;
  const ScopedEnv environment_;
  QProcess daemon_;
};

// Waits for the end of a process that is not our child (the bus started it).
bool WaitForEnd(pid_t pid, std::chrono::milliseconds timeout) {
  const int handle = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (handle < 0) return errno == ESRCH;
  pollfd end{handle, POLLIN, 0};
  const bool ended = ::poll(&end, 1, static_cast<int>(timeout.count())) == 1;
  ::close(handle);
  return ended;
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
  const QDBusMessage reply =
      QDBusConnection::sessionBus().call(CreateUrlCall(QStringLiteral("javascript:alert(1)")), QDBus::Block, 60000);
  EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(reply.errorName(), TBrowserAutomation::kErrorName);
  EXPECT_TRUE(program.Running()) << "a refused request ends nothing";
  EXPECT_EQ(program.Terminate(), 0);
}

TEST_F(ProgramTest, ARequestWhenNothingRunsStartsTheRegisteredProgram) {
  ASSERT_EQ(RunProgram({VENDRAKE_PROGRAM, "--regserver"}), 0);
  ActivatingBus bus(user.Path(), user / "data/dbus-1/services");
  QDBusConnection connection = bus.Connect();
  ASSERT_TRUE(connection.isConnected()) << connection.lastError().message().toStdString();
  const QString name = QString::fromLatin1(TSessionService::kServiceName);
  ASSERT_FALSE(connection.interface()->isServiceRegistered(name).value());

  const QDBusMessage reply = connection.call(CreateUrlCall(QStringLiteral("file:///etc/passwd")), QDBus::Block, 60000);
  EXPECT_EQ(reply.errorName(), TBrowserAutomation::kErrorName) << "the started program itself refused it";

  // Started for a request it refused, it has nothing left to do.
  const QDBusReply<uint> pid = connection.interface()->servicePid(name);
  if (pid.isValid()) {
    ASSERT_TRUE(WaitForEnd(static_cast<pid_t>(pid.value()), std::chrono::seconds(60)));
  }
  TRegSettings stored(std::make_unique<TRegistryFile>(home / "registry.reg"), home.Path());
  stored.LoadFromRegistry();
  EXPECT_TRUE(stored.Options.DefaultTaskAdded) << "it ended through the Exit sequence";
}

}  // namespace
}  // namespace vdk::test
