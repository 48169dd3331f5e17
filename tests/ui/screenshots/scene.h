#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace vdk::shots {

// Where a scene saves its pictures, and a scratch folder (a Vendrake home of
// its own) for the files it needs.
class Shooter {
 public:
  Shooter(QString outputFolder, QString scratchFolder);
  // Lays the widget out, lets pending events and paints run, and saves what
  // it shows as <name>.png. Returns false when the picture could not be saved.
  bool Shoot(QWidget* widget, const QString& name);
  const QString& Scratch() const { return scratch_; }
  int Failures() const { return failures_; }

 private:
  QString output_;
  QString scratch_;
  int failures_ = 0;
};

struct Scene {
  QString name;
  std::function<void(Shooter&)> run;
};

std::vector<Scene>& Scenes();

struct SceneRegistrar {
  SceneRegistrar(QString name, std::function<void(Shooter&)> run) {
    Scenes().push_back({std::move(name), std::move(run)});
  }
};

}  // namespace vdk::shots

// Defines a scene: VDK_SCENE(main_window) { ... shooter.Shoot(&window, "main-window"); }
#define VDK_SCENE(id)                                                                        \
  static void Scene_##id(::vdk::shots::Shooter& shooter);                                    \
  static const ::vdk::shots::SceneRegistrar registrar_##id(QStringLiteral(#id), Scene_##id); \
  static void Scene_##id([[maybe_unused]] ::vdk::shots::Shooter& shooter)
