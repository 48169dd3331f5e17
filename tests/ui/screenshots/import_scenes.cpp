// The import dialog with its groups loaded from a project server on
// 127.0.0.1 serving lists like the shipped ones; one list is still loading.

#include <QTest>
#include <QTreeView>
#include <cstdio>

#include "core/settings/memory_registry.h"
#include "scene.h"
#include "support/project_lists.h"
#include "support/test_server.h"
#include "ui/import/import_projects_form.h"
#include "ui/import/import_tree_model.h"

namespace {

using vdk::test::ProjectRecord;

ProjectRecord Site(const char* category, const char* name) {
  return {.name = name, .url = "https://example.org/", .category = category};
}

}  // namespace

VDK_SCENE(import_dialog) {
  vdk::test::TestServer server;
  vdk::test::ServeProjects(
      server, {{"space.dat",
                {Site("Space", "NASA Image of the Day"), Site("Space", "Astronomy Picture of the Day"),
                 Site("Space", "Hubble images from ESA"), Site("Space", "ESO images")}},
               {"earth.dat", {Site("Earth", "NASA Earth Observatory"), Site("Earth", "NOAA Photo Library")}},
               {"art.dat", {Site("Art museums", "Art Institute of Chicago")}},
               {"commons.dat", {Site("Free pictures", "Flickr Commons")}}});
  server.Serve("/projects/commons.dat", {.delay = std::chrono::hours(1)});  // still loading in the picture
  vdk::TMemoryRegistry store;
  vdk::TImportProjectsForm form(store, server.Host());
  auto& model = form.Model();
  const QModelIndex root = model.RootIndex();
  const bool loaded = QTest::qWaitFor(
      [&] {
        if (model.rowCount(root) != 4) return false;
        for (int row = 0; row < 3; ++row)
          if (!model.GroupAt(model.index(row, 0, root))->Loaded()) return false;
        return true;
      },
      30000);
  if (!loaded) std::fprintf(stderr, "import_dialog: the lists did not load\n");
  // A project as the current node, and with CTRL another project and a group.
  const QModelIndex space = model.index(0, 0, root);
  form.TreeView()->setCurrentIndex(model.index(2, 0, space));
  auto* selection = form.TreeView()->selectionModel();
  selection->select(model.index(0, 0, space), QItemSelectionModel::Select);
  selection->select(model.index(1, 0, root), QItemSelectionModel::Select);
  shooter.Shoot(&form, "import-dialog");
}
