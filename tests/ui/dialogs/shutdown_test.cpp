#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "platform/desktop/logind_shutdown.h"
#include "support/recorded_dialog_services.h"
#include "support/recorded_services.h"
#include "ui/dialogs/auto_shutdown.h"
#include "ui/dialogs/shutdown_form.h"

namespace vdk::test {
namespace {

TEST(ShutdownForm, CountsFifteenSecondsDownAndEndsWithOK) {
  TShutdownForm form;
  EXPECT_EQ(form.windowTitle(), "Shutdown computer");
  EXPECT_EQ(Child<QLabel>(form, "CountLabel")->text(), "Auto shutdown computer in 15 second(s)");
  EXPECT_EQ(Child<QProgressBar>(form, "ProgressBar")->value(), 0);
  EXPECT_EQ(Child<QProgressBar>(form, "ProgressBar")->maximum(), 15);
  form.show();
  for (int left = 14; left >= 0; --left) {
    EXPECT_TRUE(form.isVisible());
    form.TimerTimer();
    EXPECT_EQ(Child<QLabel>(form, "CountLabel")->text(),
              QStringLiteral("Auto shutdown computer in %1 second(s)").arg(left));
    EXPECT_EQ(Child<QProgressBar>(form, "ProgressBar")->value(), 15 - left);
  }
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  form.TimerTimer();  // a late tick changes nothing
  EXPECT_EQ(form.Count(), 15);
}

TEST(ShutdownForm, CancelAndEscapeEndWithCancel) {
  TShutdownForm form;
  form.show();
  for (int i = 0; i < 5; ++i) form.TimerTimer();
  Click(form, "CancelButton");
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(form.Count(), 5);

  TShutdownForm escaped;
  escaped.show();
  escaped.TimerTimer();
  QTest::keyClick(&escaped, Qt::Key_Escape);
  EXPECT_FALSE(escaped.isVisible());
  EXPECT_EQ(escaped.result(), QDialog::Rejected);
}

// The countdown's own timer drives it: with a one-millisecond second it ends
// by itself, which the test waits for.
TEST(ShutdownForm, ItsTimerRunsTheCountdown) {
  TShutdownForm form(nullptr, std::chrono::milliseconds(1));
  QSignalSpy finished(&form, &QDialog::finished);
  form.show();
  ASSERT_TRUE(finished.wait(5000));
  EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Accepted);
  EXPECT_EQ(form.Count(), 15);
}

class AutoShutdownTest : public ::testing::Test {
 protected:
  AutoShutdownTest() {
    shutdown.onPowerOff = [this] { events.push_back("power off"); };
  }
  TAutoShutdownSteps Steps() {
    return {[this] { return running; }, [this] { events.push_back("exit sequence"); }};
  }

  RecordedBoxes boxes;
  RecordedDialogs dialogs;
  RecordedShutdown shutdown;
  std::vector<std::string> events;
  int running = 0;
};

// faults.md S27: everything is saved before the power-off is requested.
TEST_F(AutoShutdownTest, TheExitSequenceRunsBeforeThePowerOff) {
  dialogs.Answer([](QDialog& d) {
    auto& countdown = static_cast<TShutdownForm&>(d);
    for (int i = 0; i < TShutdownForm::kSeconds; ++i) countdown.TimerTimer();
  });
  EXPECT_TRUE(OfferShutdown(nullptr, true, Steps(), shutdown));
  EXPECT_EQ(dialogs.Captions(), (std::vector<QString>{"Shutdown computer"}));
  EXPECT_EQ(events, (std::vector<std::string>{"exit sequence", "power off"}));
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(AutoShutdownTest, NoCountdownWhenSwitchedOffOrWhileATaskRuns) {
  EXPECT_FALSE(OfferShutdown(nullptr, false, Steps(), shutdown));
  running = 1;
  EXPECT_FALSE(OfferShutdown(nullptr, true, Steps(), shutdown));
  EXPECT_TRUE(dialogs.Captions().empty());
  EXPECT_EQ(shutdown.requests, 0);
  EXPECT_TRUE(events.empty());
}

TEST_F(AutoShutdownTest, CancelledCountdownShutsNothingDown) {
  dialogs.Answer([](QDialog& d) {
    static_cast<TShutdownForm&>(d).TimerTimer();
    Click(d, "CancelButton");
  });
  EXPECT_FALSE(OfferShutdown(nullptr, true, Steps(), shutdown));
  EXPECT_EQ(shutdown.requests, 0);
  EXPECT_TRUE(events.empty());
}

// faults.md S27: a task the schedule started during the countdown cancels
// the shutdown.
TEST_F(AutoShutdownTest, ATaskStartedDuringTheCountdownCancelsIt) {
  dialogs.Answer([this](QDialog& d) {
    running = 1;
    for (int i = 0; i < TShutdownForm::kSeconds; ++i) static_cast<TShutdownForm&>(d).TimerTimer();
  });
  EXPECT_FALSE(OfferShutdown(nullptr, true, Steps(), shutdown));
  EXPECT_EQ(shutdown.requests, 0);
  EXPECT_TRUE(events.empty());
}

TEST_F(AutoShutdownTest, ARefusedPowerOffIsShown) {
  shutdown.result = {false, "Access denied"};
  dialogs.Answer([](QDialog& d) { static_cast<TShutdownForm&>(d).accept(); });
  EXPECT_FALSE(OfferShutdown(nullptr, true, Steps(), shutdown));
  EXPECT_EQ(events, (std::vector<std::string>{"exit sequence", "power off"}));
  EXPECT_EQ(boxes.Last().caption, "Error");
  EXPECT_EQ(boxes.Last().text, "The computer cannot be shut down: Access denied");
}

// The request the program sends; only the message is built here, nothing is
// sent.
TEST(LogindShutdown, AsksLogindToPowerOffInteractively) {
  const QDBusMessage call = LogindPowerOffCall();
  EXPECT_EQ(call.type(), QDBusMessage::MethodCallMessage);
  EXPECT_EQ(call.service(), "org.freedesktop.login1");
  EXPECT_EQ(call.path(), "/org/freedesktop/login1");
  EXPECT_EQ(call.interface(), "org.freedesktop.login1.Manager");
  EXPECT_EQ(call.member(), "PowerOff");
  ASSERT_EQ(call.arguments().size(), 1);
  EXPECT_EQ(call.arguments().at(0), QVariant(true));
}

}  // namespace
}  // namespace vdk::test
