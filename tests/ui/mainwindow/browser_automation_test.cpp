// The browser's automation object over a private session bus: CreateUrl
// answered OK, Cancel, refused addresses, requests that wait their turn, and
// a program started for a browser request that ends when its work is done.

#include <QAbstractButton>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <optional>

#include "core/model/task.h"
#include "main_form_fixture.h"
#include "support/qt_printers.h"
#include "support/test_server.h"
#include "ui/mainwindow/browser_automation.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/session_service.h"

namespace vdk::test {
namespace {

namespace fs = std::filesystem;

QString UniqueName(const char* role) {
  static int made = 0;
  return QStringLiteral("%1-%2").arg(QLatin1String(role)).arg(++made);
}

// Answers the New Task dialog with OK after noting the URL and name it shows.
ScriptedModals::Script AcceptShowing(QString& url, QString& name, const std::function<void()>& meanwhile = {}) {
  return [&url, &name, meanwhile](QDialog& dialog) {
    dialog.show();
    url = dialog.findChild<QLineEdit*>(QStringLiteral("URLEdit"))->text();
    name = dialog.findChild<QLineEdit*>(QStringLiteral("NameEdit"))->text();
    if (meanwhile) meanwhile();
    dialog.findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click();
    const int result = dialog.isVisible() ? static_cast<int>(QDialog::Rejected) : dialog.result();
    dialog.hide();
    return result;
  };
}

class BrowserAutomationTest : public MainFormTest {
 protected:
  BrowserAutomationTest()
      : programName(UniqueName("program")),
        browserName(UniqueName("browser")),
        program(QDBusConnection::connectToBus(QDBusConnection::SessionBus, programName)),
        browser(QDBusConnection::connectToBus(QDBusConnection::SessionBus, browserName)) {
    EXPECT_EQ(program.Claim(), TSessionService::TClaim::Owned);
    EXPECT_TRUE(program.RegisterObject(QString::fromLatin1(TBrowserAutomation::kObjectPath), &automation));
  }
  ~BrowserAutomationTest() override {
    Discard();
    server.ReleaseStalls();
    QDBusConnection::disconnectFromBus(browserName);
  }

  TMainForm& OpenAttached() {
    TMainForm& window = Open();
    automation.Attach(&window);
    return window;
  }

  // Whether a program started for the request (which the dialog, if any,
  // cancels) ends through the Exit sequence once it is answered.
  bool StartedForARequestExitsAfter(const QString& address) {
    TMainForm& window = OpenAttached();
    automation.EndWhenIdle();
    bool exited = false;
    QObject::connect(&window, &TMainForm::Exited, [&exited] { exited = true; });
    return Answered(CreateUrl(address)) && WaitUntil([&] { return exited; });
  }

  // CreateUrl as the native-messaging host calls it.
  QDBusPendingCall CreateUrl(const QString& url) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(TSessionService::kServiceName), QString::fromLatin1(TBrowserAutomation::kObjectPath),
        QString::fromLatin1(TBrowserAutomation::kInterface), QString::fromLatin1(TBrowserAutomation::kMethod));
    call << url;
    QDBusPendingCall pending = browser.asyncCall(call, 120000);
    // The watcher's signal wakes the waits below when the answer comes.
    auto* watcher = new QDBusPendingCallWatcher(pending);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
    return pending;
  }

  static bool Answered(const QDBusPendingCall& call) {
    return WaitUntil([&call] { return call.isFinished(); });
  }

  int TaskFiles() const {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(ProjectPath()))
      count += entry.path().extension() == ".wrp";
    return count;
  }

  QString programName, browserName;
  TestServer server;
  TBrowserAutomation automation;
  TSessionService program;
  QDBusConnection browser;
};

TEST_F(BrowserAutomationTest, OKCreatesTheTaskFromTheAddressAndRunsIt) {
  server.Serve("/gallery/index.html", {.body = "<img src=\"p.png\">"});
  server.Serve("/gallery/p.png", {.body = std::string(3000, 'p'), .contentType = "image/png"});
  TMainForm& window = OpenAttached();
  window.hide();  // in the notification area
  const int before = TaskFiles();
  QString shownURL, shownName;
  bool requestSeen = false;
  dialogs.Then(AcceptShowing(shownURL, shownName, [&] { requestSeen = window.BrowserRequest && window.isVisible(); }));

  const QString address = QString::fromStdString(server.Url("/gallery/index.html"));
  const QDBusPendingCall call = CreateUrl(address);
  ASSERT_TRUE(Answered(call));
  EXPECT_FALSE(call.isError()) << call.error().message().toStdString();
  EXPECT_EQ(shownURL, address);
  EXPECT_FALSE(shownName.isEmpty()) << "the name comes from the address";
  EXPECT_TRUE(requestSeen) << "the window came forward with the request set";
  EXPECT_FALSE(window.BrowserRequest);
  EXPECT_EQ(TaskFiles(), before + 1);
  const std::shared_ptr<TTask> task = window.SelectedTask();
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(QString::fromStdString(task->URL.Text()), address);
  ASSERT_TRUE(WaitUntil([&] { return server.CountRequests("GET", "/gallery/index.html") > 0; })) << "the new task runs";
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
}

TEST_F(BrowserAutomationTest, CancelStartsNothing) {
  server.Serve("/index.html", {.body = "x"});
  // A task of its own is selected: a cancelled request must not run it.
  AddTask("Sites", "Selected", server.Url("/index.html"));
  OpenAttached();
  Select("Selected");
  const int before = TaskFiles();
  dialogs.Then([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
  const QDBusPendingCall call = CreateUrl(QString::fromStdString(server.Url("/other.html")));
  ASSERT_TRUE(Answered(call));
  EXPECT_FALSE(call.isError());
  EXPECT_EQ(TaskFiles(), before);
  EXPECT_TRUE(form->SelectedTask()->Stopped());
  EXPECT_EQ(server.Requests().size(), 0u);
  EXPECT_FALSE(form->BrowserRequest);
}

TEST_F(BrowserAutomationTest, AnythingButAWebAddressIsRefusedAndOpensNothing) {
  OpenAttached();
  for (const char* url : {"javascript:alert(1)", "file:///etc/passwd", "ftp://127.0.0.1/", "http://", "no address"}) {
    const QDBusPendingCall call = CreateUrl(QString::fromLatin1(url));
    ASSERT_TRUE(Answered(call));
    ASSERT_TRUE(call.isError()) << url;
    EXPECT_EQ(call.error().name(), TBrowserAutomation::kErrorName);
    EXPECT_TRUE(call.error().message().contains(QString::fromLatin1(url))) << call.error().message().toStdString();
  }
  EXPECT_TRUE(dialogs.Shown().empty());
  EXPECT_TRUE(IsBrowserAddress(QStringLiteral("HTTPS://127.0.0.1:8/a?b#c")));
}

TEST_F(BrowserAutomationTest, ASecondRequestWhileTheDialogIsOpenIsServedAfterIt) {
  OpenAttached();
  QString firstURL, firstName, secondURL, secondName;
  std::optional<QDBusPendingCall> second;
  bool secondWaited = false;
  dialogs.Then(AcceptShowing(firstURL, firstName, [&] {
    second = CreateUrl(QStringLiteral("http://127.0.0.1:9/second/"));
    secondWaited = WaitUntil([&] { return automation.Pending() == 2; }) && dialogs.Pending() == 1;
  }));
  dialogs.Then(AcceptShowing(secondURL, secondName));
  const QDBusPendingCall first = CreateUrl(QStringLiteral("http://127.0.0.1:9/first/"));
  ASSERT_TRUE(Answered(first));
  EXPECT_TRUE(secondWaited) << "the second request waited while the first dialog was open";
  ASSERT_TRUE(second.has_value());
  ASSERT_TRUE(Answered(*second));
  EXPECT_FALSE(first.isError());
  EXPECT_FALSE(second->isError());
  EXPECT_EQ(firstURL, "http://127.0.0.1:9/first/");
  EXPECT_EQ(secondURL, "http://127.0.0.1:9/second/");
  EXPECT_EQ(automation.Pending(), 0);
}

TEST_F(BrowserAutomationTest, ARequestWaitsWhileAnotherModalWindowIsOpen) {
  TMainForm& window = OpenAttached();
  QDialog options(&window);
  options.setWindowModality(Qt::ApplicationModal);
  options.show();
  QString url, name;
  dialogs.Then(AcceptShowing(url, name));
  const QDBusPendingCall call = CreateUrl(QStringLiteral("http://127.0.0.1:9/waits/"));
  // Two retries pass with the window open and the request still waiting.
  int retries = 0;
  QTimer counter;
  QObject::connect(&counter, &QTimer::timeout, [&retries] { ++retries; });
  counter.start(TBrowserAutomation::kRetryMilliseconds);
  ASSERT_TRUE(WaitUntil([&] { return retries >= 3; }));
  EXPECT_FALSE(call.isFinished());
  EXPECT_TRUE(dialogs.Shown().empty());
  options.hide();
  ASSERT_TRUE(Answered(call));
  EXPECT_EQ(url, "http://127.0.0.1:9/waits/");
}

TEST_F(BrowserAutomationTest, AfterExitARequestIsAnErrorAndOpensNothing) {
  OpenAttached();
  Trigger("TasksExitAction");
  const QDBusPendingCall call = CreateUrl(QStringLiteral("http://127.0.0.1:9/late/"));
  ASSERT_TRUE(Answered(call));
  ASSERT_TRUE(call.isError());
  EXPECT_EQ(call.error().message(), "Vendrake is closing.");
  EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(BrowserAutomationTest, StartedForARequestItStaysWhileTheTaskRunsThenExits) {
  // The page hangs until released, so the task keeps running.
  server.Serve("/slow/index.html", {.body = std::string(5000, 'x'), .cutAfter = 100, .stall = true});
  TMainForm& window = OpenAttached();
  automation.EndWhenIdle();
  bool exited = false;
  QObject::connect(&window, &TMainForm::Exited, [&exited] { exited = true; });
  QString url, name;
  dialogs.Then(AcceptShowing(url, name));
  const QDBusPendingCall call = CreateUrl(QString::fromStdString(server.Url("/slow/index.html")));
  ASSERT_TRUE(Answered(call));
  ASSERT_TRUE(WaitUntil([&] { return server.CountRequests("GET", "/slow/index.html") > 0; }));
  EXPECT_FALSE(exited) << "a running task keeps the program";
  server.ReleaseStalls();
  ASSERT_TRUE(WaitUntil([&] { return exited; })) << "the Exit sequence ends it once the task is done";
  EXPECT_TRUE(fs::exists(home / "imglib.db"));
}

TEST_F(BrowserAutomationTest, StartedForARequestItExitsAfterACancel) {
  EXPECT_TRUE(StartedForARequestExitsAfter(QStringLiteral("http://127.0.0.1:9/cancelled/")));
}

TEST_F(BrowserAutomationTest, StartedForARequestItExitsAfterARefusal) {
  EXPECT_TRUE(StartedForARequestExitsAfter(QStringLiteral("file:///etc/passwd")));
}

}  // namespace
}  // namespace vdk::test
