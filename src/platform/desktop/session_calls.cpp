#include "platform/desktop/session_calls.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

namespace vdk {
namespace {

constexpr int kProgramTimeoutMs = 10000;

class TRealSessionCalls : public TSessionCalls {
 public:
  TCallResult Run(const QString& program, const QStringList& arguments) override {
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForFinished(kProgramTimeoutMs)) {
      process.kill();
      process.waitForFinished();
      return {false, {}, QStringLiteral("%1 did not run: %2").arg(program, process.errorString())};
    }
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return {ok, QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
  }

  TCallResult CallSessionBus(const QString& service, const QString& path, const QString& interface,
                             const QString& method, const QString& argument) override {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call << argument;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kProgramTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) return {false, {}, reply.errorMessage()};
    return {true, reply.arguments().isEmpty() ? QString() : reply.arguments().first().toString(), {}};
  }
};

}  // namespace

std::unique_ptr<TSessionCalls> MakeSessionCalls() { return std::make_unique<TRealSessionCalls>(); }

}  // namespace vdk
