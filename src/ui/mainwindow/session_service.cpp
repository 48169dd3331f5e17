#include "ui/mainwindow/session_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace vdk {
namespace {

constexpr int kCallTimeoutMilliseconds = 5000;

// The object at kObjectPath; its slots are the interface's methods.
class TActivateObject : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.vendrake.Vendrake")

 public:
  explicit TActivateObject(TSessionService* service) : QObject(service), service_(service) {}

 public slots:
  void Activate() { emit service_->ActivateRequested(); }

 private:
  TSessionService* service_;
};

}  // namespace

TSessionService::TSessionService(QDBusConnection connection, QObject* parent)
    : QObject(parent), connection_(std::move(connection)) {}

TSessionService::~TSessionService() {
  if (!owned_) return;
  connection_.unregisterObject(QString::fromLatin1(kObjectPath));
  connection_.unregisterService(QString::fromLatin1(kServiceName));
}

TSessionService::TClaim TSessionService::Claim() {
  if (!connection_.isConnected() || connection_.interface() == nullptr) return TClaim::NoBus;
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = connection_.interface()->registerService(
      QString::fromLatin1(kServiceName), QDBusConnectionInterface::DontQueueService,
      QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid()) return TClaim::NoBus;
  if (reply.value() != QDBusConnectionInterface::ServiceRegistered) return TClaim::Taken;
  owned_ = true;
  RegisterObject(QString::fromLatin1(kObjectPath), new TActivateObject(this));
  return TClaim::Owned;
}

bool TSessionService::ActivateRunning() {
  const QDBusMessage call =
      QDBusMessage::createMethodCall(QString::fromLatin1(kServiceName), QString::fromLatin1(kObjectPath),
                                     QString::fromLatin1(kInterface), QStringLiteral("Activate"));
  return connection_.call(call, QDBus::BlockWithGui, kCallTimeoutMilliseconds).type() == QDBusMessage::ReplyMessage;
}

bool TSessionService::RegisterObject(const QString& path, QObject* object) {
  return connection_.registerObject(path, object, QDBusConnection::ExportAllSlots);
}

}  // namespace vdk

#include "session_service.moc"
