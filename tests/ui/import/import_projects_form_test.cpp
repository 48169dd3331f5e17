// The import dialog offscreen, against a project server on 127.0.0.1: the
// captions as the threads fill the tree, what is offered, the OK rule, the
// import of chosen projects and groups, and closing while lists still load.

#include <gtest/gtest.h>

#include <dirent.h>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <condition_variable>
#include <filesystem>
#include <fstream>

#include "core/model/task.h"
#include "core/settings/exist_names.h"
#include "core/settings/memory_registry.h"
#include "core/settings/reg_settings.h"
#include "import/project_folder_target.h"
#include "support/project_lists.h"
#include "support/recorded_services.h"
#include "support/temp_dir.h"
#include "support/test_server.h"
#include "ui/import/import_from_internet.h"
#include "ui/import/import_projects_form.h"
#include "ui/import/import_tree_model.h"

namespace vdk {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using test::ProjectRecord;

int CountImportThreads() {
  int count = 0;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir("/proc/self/task"), ::closedir);
  while (const dirent* entry = ::readdir(dir.get())) {
    std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
    std::string name;
    if (std::getline(comm, name) && name.starts_with("vdk-import")) ++count;
  }
  return count;
}

ProjectRecord Project(const std::string& name, const std::string& category) {
  return {.name = name, .url = "https://example.org/" + name + "/", .category = category};
}

// A gate the test opens: the answers that wait on it hold their request.
struct Gate {
  std::mutex mutex;
  std::condition_variable cv;
  bool open = false;
  void Open() {
    std::lock_guard lock(mutex);
    open = true;
    cv.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex);
    cv.wait(lock, [this] { return open; });
  }
};

class ImportFormTest : public ::testing::Test {
 protected:
  ImportFormTest() {
    fs::create_directories(home / "projects");
    fs::create_directories(home / "downloads");
    settings.Options.ProjectPath = home / "projects/";
    settings.Options.DefaultFolder = home / "downloads/";
    settings.ProjectServer = server.Host();
  }
  ~ImportFormTest() override { gate->Open(); }

  void ServeSpaceAndArt() {
    test::ServeProjects(server,
                        {{"space.dat", {Project("Moon", "Space"), Project("Mars", "Space"), Project("Venus", "Space")}},
                         {"art.dat", {Project("Museum", "Art")}}});
  }
  // As ServeSpaceAndArt, but the art list is held at the gate.
  void ServeSpaceWithArtHeld() {
    ServeSpaceAndArt();
    server.Handle("/projects/art.dat", [gate = gate](const httplib::Request&, httplib::Response& res) {
      gate->Wait();
      res.set_content(test::ProjectListBytes({Project("Museum", "Art")}), "application/octet-stream");
    });
  }
  // Waits until the space list is shown and the art group says it is loading.
  static bool WaitArtLoading(const QModelIndex& root) {
    return QTest::qWaitFor([&] { return Children(root) == QStringList({"space.dat", "art.dat(loading ...)"}); }, 60000);
  }
  std::unique_ptr<TImportProjectsForm> Open() {
    auto form = std::make_unique<TImportProjectsForm>(*settings.Registry, settings.ProjectServer);
    form->show();
    return form;
  }
  static void WaitLoaded(TImportProjectsForm& form) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Model().AllLoaded(); }, 60000));
  }
  static QString Caption(const QModelIndex& index) { return index.data().toString(); }
  static QStringList Children(const QModelIndex& parent) {
    QStringList captions;
    for (int row = 0; row < parent.model()->rowCount(parent); ++row)
      captions << Caption(parent.model()->index(row, 0, parent));
    return captions;
  }
  static QModelIndex Child(const QModelIndex& parent, int row) { return parent.model()->index(row, 0, parent); }
  static Names NamesOf(const std::vector<TProjectItemPtr>& projects) {
    Names names;
    for (const auto& project : projects) names.push_back(project->Name);
    return names;
  }
  void Select(TImportProjectsForm& form, const QModelIndexList& nodes) {
    auto* selection = form.TreeView()->selectionModel();
    selection->clear();
    for (const QModelIndex& node : nodes) selection->select(node, QItemSelectionModel::Select);
  }

  test::TestServer server;
  test::TempDir home;
  test::RecordedBoxes boxes;
  TRegSettings settings{std::make_unique<TMemoryRegistry>(), home.Path()};
  TProjectFolderTarget tree{home / "projects/"};
  std::shared_ptr<Gate> gate = std::make_shared<Gate>();
};

TEST_F(ImportFormTest, TheTreeFillsInWithItsCaptions) {
  ServeSpaceAndArt();
  server.Handle("/projects/index.dat", [gate = gate](const httplib::Request&, httplib::Response& res) {
    gate->Wait();
    res.set_content("space.dat\nart.dat\n", "text/plain");
  });
  auto form = Open();
  EXPECT_EQ(form->windowTitle(), "Import from internet");
  EXPECT_EQ(form->findChild<QLabel*>("TitleLabel")->text(), "Please select website tasks from internet below:");
  EXPECT_TRUE(form->findChild<QLabel*>("TitleLabel")->font().bold());
  EXPECT_EQ(form->OKButton()->text(), "&OK");
  EXPECT_TRUE(form->OKButton()->isDefault());
  EXPECT_TRUE(form->OKButton()->isEnabled());
  EXPECT_EQ(form->findChild<QPushButton*>("CancelButton")->text(), "&Cancel");

  const QModelIndex root = form->Model().RootIndex();
  EXPECT_EQ(Caption(root), "New websits");
  EXPECT_EQ(root.data(TImportTreeModel::ImageRole).toInt(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Caption(root) == "New Tasks(downloading ...)"; }, 60000));
  gate->Open();
  WaitLoaded(*form);
  EXPECT_EQ(Caption(root), "New Tasks");
  EXPECT_TRUE(form->TreeView()->isExpanded(root));
  EXPECT_EQ(Children(root), (QStringList{"space.dat", "art.dat"}));
  EXPECT_EQ(Child(root, 0).data(TImportTreeModel::ImageRole).toInt(), 1);
  EXPECT_TRUE(form->TreeView()->isExpanded(Child(root, 0)));
  EXPECT_EQ(Children(Child(root, 0)), (QStringList{"Moon", "Mars", "Venus"}));
  EXPECT_EQ(Child(Child(root, 0), 2).data(TImportTreeModel::ImageRole).toInt(), 2);
}

TEST_F(ImportFormTest, AGroupShowsLoadingUntilItsListArrives) {
  ServeSpaceWithArtHeld();
  auto form = Open();
  const QModelIndex root = form->Model().RootIndex();
  ASSERT_TRUE(WaitArtLoading(root)) << Children(root).join(", ").toStdString();
  EXPECT_TRUE(Children(Child(root, 1)).isEmpty());
  gate->Open();
  WaitLoaded(*form);
  EXPECT_EQ(Children(root), (QStringList{"space.dat", "art.dat"}));
  EXPECT_EQ(Children(Child(root, 1)), QStringList{"Museum"});
}

TEST_F(ImportFormTest, WithoutAnIndexOnlyTheRootShows) {
  auto form = Open();
  WaitLoaded(*form);
  EXPECT_EQ(Caption(form->Model().RootIndex()), "New Tasks");
  EXPECT_EQ(form->Model().rowCount(form->Model().RootIndex()), 0);
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ImportFormTest, KnownNamesInAnyCaseAreNotOffered) {
  TExistNames(*settings.Registry).Save({"MOON", "museum"});
  ServeSpaceAndArt();
  auto form = Open();
  WaitLoaded(*form);
  const QModelIndex root = form->Model().RootIndex();
  EXPECT_EQ(Children(Child(root, 0)), (QStringList{"Mars", "Venus"}));
  EXPECT_TRUE(Children(Child(root, 1)).isEmpty());
}

TEST_F(ImportFormTest, TheRootEnablesNothing) {
  ServeSpaceAndArt();
  auto form = Open();
  WaitLoaded(*form);
  const QModelIndex root = form->Model().RootIndex();
  form->TreeView()->setCurrentIndex(Child(root, 0));
  EXPECT_TRUE(form->OKButton()->isEnabled());
  form->TreeView()->setCurrentIndex(root);
  EXPECT_FALSE(form->OKButton()->isEnabled());
  EXPECT_TRUE(form->ChosenProjects().empty());
  form->TreeView()->setCurrentIndex(Child(Child(root, 0), 1));
  EXPECT_TRUE(form->OKButton()->isEnabled());
}

TEST_F(ImportFormTest, AGroupChoiceImportsItsNewProjectsInFileOrder) {
  TExistNames(*settings.Registry).Save({"mars"});
  ServeSpaceAndArt();
  auto form = Open();
  WaitLoaded(*form);
  const QModelIndex root = form->Model().RootIndex();
  // The group and one of its own projects, and a project of another group:
  // tree order, each project once.
  Select(*form, {Child(Child(root, 1), 0), Child(root, 0), Child(Child(root, 0), 1), root});
  const auto chosen = form->ChosenProjects();
  EXPECT_EQ(NamesOf(chosen), (Names{"Moon", "Venus", "Museum"}));

  EXPECT_EQ(ImportChosenProjects(form.get(), chosen, settings, tree), 3);
  form.reset();  // the dialog goes after the import, with its threads
  for (const char* file : {"Space/Moon.wrp", "Space/Venus.wrp", "Art/Museum.wrp"})
    EXPECT_TRUE(fs::exists(home / ("projects/" + std::string(file)))) << file;
  EXPECT_TRUE(boxes.Shown().empty());
  EXPECT_EQ(TExistNames(*settings.Registry).Names, (Names{"mars", "Moon", "Venus", "Museum"}));

  // Opened again, the dialog offers none of them.
  auto again = Open();
  WaitLoaded(*again);
  EXPECT_TRUE(Children(Child(again->Model().RootIndex(), 0)).isEmpty());
}

TEST_F(ImportFormTest, AProjectWhoseTaskFileExistsIsSkippedReportedAndNotRemembered) {
  ServeSpaceAndArt();
  fs::create_directories(home / "projects/Space");
  test::WriteFile(home / "projects/Space/Mars.wrp", "mine");
  auto form = Open();
  WaitLoaded(*form);
  Select(*form, {Child(form->Model().RootIndex(), 0)});
  EXPECT_EQ(ImportChosenProjects(form.get(), form->ChosenProjects(), settings, tree), 2);
  EXPECT_EQ(test::ReadFile(home / "projects/Space/Mars.wrp"), "mine");
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Last().caption, "Information");
  EXPECT_EQ(boxes.Last().text, "These projects were not imported:\nMars: a task file of this name exists already");
  EXPECT_EQ(TExistNames(*settings.Registry).Names, (Names{"Moon", "Venus"}));
}

TEST_F(ImportFormTest, ClosingWhileListsLoadStopsEverythingAtOnce) {
  ServeSpaceAndArt();
  for (const char* list : {"/projects/space.dat", "/projects/art.dat"})
    server.Handle(list, [gate = gate](const httplib::Request&, httplib::Response& res) {
      gate->Wait();
      res.set_content("", "application/octet-stream");
    });
  auto form = Open();
  const QModelIndex root = form->Model().RootIndex();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().rowCount(root) == 2; }, 60000));
  ASSERT_GT(CountImportThreads(), 0);
  form.reset();  // while both lists are held by the server
  EXPECT_EQ(CountImportThreads(), 0);
  QTest::qWait(0);  // calls that were still queued are dropped, not run
  gate->Open();
}

TEST_F(ImportFormTest, CancelStopsTheThreadsAndLeavesLoadingGroupsEmpty) {
  ServeSpaceWithArtHeld();
  auto form = Open();
  const QModelIndex root = form->Model().RootIndex();
  ASSERT_TRUE(WaitArtLoading(root)) << Children(root).join(", ").toStdString();
  Select(*form, {Child(root, 1)});
  QTest::mouseClick(form->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_EQ(CountImportThreads(), 0);
  gate->Open();
  QTest::qWait(0);
  EXPECT_EQ(Children(root), (QStringList{"space.dat", "art.dat(loading ...)"}));
  EXPECT_TRUE(form->ChosenProjects().empty());  // a group still loading contributes nothing
}

}  // namespace
}  // namespace vdk
