// fake-vendrake: stands in for Vendrake on a private session bus for the
// browser test. Owns org.vendrake.Vendrake with the automation object, says
// "ready" and then prints every address CreateUrl receives, one per line.
// Ends when its input closes.

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSocketNotifier>
#include <cstdio>

#include "fake_vendrake.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection bus = QDBusConnection::sessionBus();
  vdk::test::FakeVendrake receiver;
  if (!bus.registerObject(QStringLiteral("/VDK/IE"), &receiver, QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.vendrake.Vendrake"))) {
    std::fprintf(stderr, "fake-vendrake: the name is not free on this bus\n");
    return 1;
  }
  QObject::connect(&receiver, &vdk::test::FakeVendrake::Received, [](const QString& url) {
    std::printf("%s\n", url.toUtf8().constData());
    std::fflush(stdout);
  });
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
    char buffer[256];
    if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) app.quit();
  });
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}
