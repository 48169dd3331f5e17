// vendrake-native-host: what the browser extension talks to. Each message
// from the browser carries an address, which goes to the running Vendrake
// (started through the session bus when none runs) by CreateUrl; the answer
// says whether it was taken or why not.

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <climits>

#include "app/native_host/native_messaging.h"

namespace {

// Empty when Vendrake took the address, else its error. The call waits while
// the user works in Vendrake's dialog.
std::string CreateUrl(const std::string& url) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return "No session bus: Vendrake cannot be reached.";
  QDBusMessage call =
      QDBusMessage::createMethodCall(QStringLiteral("org.vendrake.Vendrake"), QStringLiteral("/VDK/IE"),
                                     QStringLiteral("org.vendrake.VDK.IIE"), QStringLiteral("CreateUrl"));
  call << QString::fromStdString(url);
  const QDBusMessage reply = bus.call(call, QDBus::Block, INT_MAX);
  if (reply.type() == QDBusMessage::ReplyMessage) return {};
  return reply.errorMessage().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  vdk::TNativeMessaging messages(STDIN_FILENO, STDOUT_FILENO);
  std::string message;
  for (;;) {
    switch (messages.Read(message)) {
      case vdk::TNativeMessaging::TReadResult::Message:
        if (!messages.Write(vdk::AnswerMessage(message, CreateUrl))) return 1;
        break;
      case vdk::TNativeMessaging::TReadResult::End:
        return 0;
      case vdk::TNativeMessaging::TReadResult::Truncated:
        messages.Write(vdk::ErrorAnswer("The message ended early."));
        return 1;
      case vdk::TNativeMessaging::TReadResult::TooLong:
        messages.Write(vdk::ErrorAnswer("The message is longer than 1 MB."));
        return 1;
    }
  }
}
