#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cstdio>

#include "scene.h"

namespace vdk::shots {

std::vector<Scene>& Scenes() {
  static std::vector<Scene> scenes;
  return scenes;
}

Shooter::Shooter(QString outputFolder, QString scratchFolder)
    : output_(std::move(outputFolder)), scratch_(std::move(scratchFolder)) {}

bool Shooter::Shoot(QWidget* widget, const QString& name) {
  widget->show();
  widget->activateWindow();
  QApplication::processEvents();
  (void)QTest::qWaitForWindowExposed(widget, 2000);
  QApplication::processEvents();
  const QString path = QDir(output_).filePath(name + ".png");
  const bool saved = widget->grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
  if (!saved) ++failures_;
  return saved;
}

}  // namespace vdk::shots

// Renders every window of the program with demo data into the folder given
// (docs/screenshots by default), one PNG per picture. Optional further
// arguments pick scenes by name.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  const QString output = args.value(0, QStringLiteral("docs/screenshots"));
  const QStringList wanted = args.mid(1);
  QDir().mkpath(output);

  int failures = 0;
  for (const auto& scene : vdk::shots::Scenes()) {
    if (!wanted.isEmpty() && !wanted.contains(scene.name)) continue;
    QTemporaryDir scratch;
    qputenv("VENDRAKE_HOME", scratch.path().toLocal8Bit());
    vdk::shots::Shooter shooter(output, scratch.path());
    scene.run(shooter);
    failures += shooter.Failures();
  }
  return failures == 0 ? 0 : 1;
}
