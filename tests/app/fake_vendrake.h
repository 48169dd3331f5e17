#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>

namespace vdk::test {

// Stands in for Vendrake's automation object (/VDK/IE) on a private session
// bus: records every address and, like Vendrake, refuses "file:" ones.
class FakeVendrake : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.vendrake.VDK.IIE")

 public:
  QStringList received;

 signals:
  void Received(const QString& url);

 public slots:
  void CreateUrl(const QString& strUrl) {
    received << strUrl;
    emit Received(strUrl);
    if (strUrl.startsWith(QLatin1String("file:")))
      sendErrorReply(QStringLiteral("org.vendrake.VDK.IIE.Error"), QStringLiteral("Only http and https"));
  }
};

}  // namespace vdk::test
