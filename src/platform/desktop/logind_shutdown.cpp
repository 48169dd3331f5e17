#include "platform/desktop/logind_shutdown.h"

#include <QDBusConnection>

namespace vdk {

QDBusMessage LogindPowerOffCall() {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
  call << true;  // interactive
  return call;
}

TShutdownResult TLogindShutdown::PowerOff() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return {false, QStringLiteral("The system bus is not available.")};
  const QDBusMessage reply = bus.call(LogindPowerOffCall());
  if (reply.type() == QDBusMessage::ErrorMessage) return {false, reply.errorMessage()};
  return {true, {}};
}

}  // namespace vdk
