// One program per user through the session bus. Runs under its own session
// bus (dbus-run-session), never the desktop's.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include "support/qt_printers.h"
#include "ui/mainwindow/session_service.h"

namespace vdk {
namespace {

using TClaim = TSessionService::TClaim;

QDBusConnection Connect(const char* name) {
  return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QString::fromLatin1(name));
}

TEST(SessionService, TheFirstOwnsTheNameAndASecondBringsItForward) {
  TSessionService first(Connect("first")), second(Connect("second"));
  ASSERT_EQ(first.Claim(), TClaim::Owned);
  EXPECT_EQ(second.Claim(), TClaim::Taken);
  int activated = 0;
  QObject::connect(&first, &TSessionService::ActivateRequested, [&activated] { ++activated; });
  EXPECT_TRUE(second.ActivateRunning());
  EXPECT_EQ(activated, 1);
}

TEST(SessionService, TheNameIsFreeOnceTheOwnerHasGone) {
  {
    TSessionService owner(Connect("owner"));
    ASSERT_EQ(owner.Claim(), TClaim::Owned);
  }
  TSessionService next(Connect("next"));
  EXPECT_EQ(next.Claim(), TClaim::Owned);
}

TEST(SessionService, NobodyAnswersWhenNobodyOwnsTheName) {
  TSessionService lonely(Connect("lonely"));
  EXPECT_FALSE(lonely.ActivateRunning());
}

TEST(SessionService, MoreObjectsGoUnderTheSameName) {
  QDBusConnection bus = Connect("objects");
  TSessionService service(bus);
  ASSERT_EQ(service.Claim(), TClaim::Owned);
  QObject object;
  EXPECT_TRUE(service.RegisterObject(QStringLiteral("/VDK/IE"), &object));
  EXPECT_EQ(bus.objectRegisteredAt(QStringLiteral("/VDK/IE")), &object);
}

TEST(SessionService, WithoutABusTheProgramRunsAlone) {
  TSessionService nowhere(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "nowhere"));
  EXPECT_EQ(nowhere.Claim(), TClaim::NoBus);
}

}  // namespace
}  // namespace vdk
