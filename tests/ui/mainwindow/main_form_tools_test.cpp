// The windows the program hangs on the main window (MainFormTools): their
// actions, the import into the task tree, Delete By over the downloaded-files
// panel, and the library and collect windows on the window's own library and
// the selected task's folder.

#include <QAbstractButton>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QTreeWidgetItem>
#include <filesystem>

#include "core/model/task.h"
#include "core/settings/reg_settings.h"
#include "import/project_import.h"
#include "library/image_library.h"
#include "main_form_fixture.h"
#include "support/project_lists.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/import/import_projects_form.h"
#include "ui/import/import_tree_model.h"
#include "ui/library/checked_files_model.h"
#include "ui/library/collect_model.h"
#include "ui/library/confirm_delete_form.h"
#include "ui/library/copy_pictures_form.h"
#include "ui/library/image_library_form.h"
#include "ui/library/image_library_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/main_form_tools.h"
#include "ui/mainwindow/task_tree.h"
#include "ui/mainwindow/task_tree_import_target.h"

namespace vdk::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kToolActions[] = {"TasksImportAction", "TasksCollectAction", "TasksLibraryAction",
                                        "ImagesDeleteByAction"};

class ToolsTest : public MainFormTest {
 protected:
  // A task "Tabby" in "Cats" with three pictures of 4, 29 and 1 KB.
  void AddTabby() {
    AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
    WriteFile(Saved("a.jpg"), std::string(5000, 'a'));
    WriteFile(Saved("b.png"), std::string(30000, 'b'));
    WriteFile(Saved("c.gif"), std::string(2000, 'c'));
  }
  std::string Saved(const std::string& name) const { return DownloadPath() + "Tabby/Saved/" + name; }
  // The window with the program's windows hung on it.
  void OpenWired() {
    Open();
    form->SetHooks(MainFormTools());
  }
  QStringList ListedNames() const {
    QStringList names;
    for (const TSavedFile& row : form->ImagesPanel()->Rows()) names << QString::fromStdString(row.Caption);
    names.sort();
    return names;
  }
};

TEST_F(ToolsTest, TheActionsWorkExactlyWhenTheirWindowsAreHung) {
  AddTabby();
  Open();
  Select("Tabby");
  for (const char* action : kToolActions) EXPECT_FALSE(Enabled(action)) << action << " without its window";

  form->SetHooks(MainFormTools());
  for (const char* action : kToolActions) EXPECT_TRUE(Enabled(action)) << action;
  Select("Cats");
  EXPECT_FALSE(Enabled("TasksCollectAction")) << "a folder has no pictures to collect";
  EXPECT_FALSE(Enabled("ImagesDeleteByAction"));
  EXPECT_TRUE(Enabled("TasksImportAction"));
  EXPECT_TRUE(Enabled("TasksLibraryAction"));

  form->SetHooks({});
  Select("Tabby");
  for (const char* action : kToolActions) EXPECT_FALSE(Enabled(action)) << action << " after the windows went";
}

// The dialog against a project server on 127.0.0.1: the group is chosen and
// its projects go to an existing category folder and to a new one.
TEST_F(ToolsTest, ImportFilesProjectsInTheirCategoryFolders) {
  TestServer server;
  ServeProjects(server, {{"pets.dat",
                          {{.name = "Owls", .url = "https://owls.example/", .category = "Cats"},
                           {.name = "Moon", .url = "https://moon.example/", .category = "Space"}}}});
  EditStore([&](TRegSettings& settings) { settings.ProjectServer = server.Host(); });
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  OpenWired();
  dialogs.Then([](QDialog& dialog) {
    auto& importer = dynamic_cast<TImportProjectsForm&>(dialog);
    if (!QTest::qWaitFor([&] { return importer.Model().AllLoaded(); }, 60000)) return int(QDialog::Rejected);
    const QModelIndex root = importer.Model().RootIndex();
    importer.TreeView()->selectionModel()->select(importer.Model().index(0, 0, root),
                                                  QItemSelectionModel::ClearAndSelect);
    importer.OKButton()->click();
    return dialog.result();
  });
  Trigger("TasksImportAction");
  ASSERT_EQ(dialogs.Pending(), 0) << "the import dialog was shown";

  QTreeWidgetItem* owls = Node("Owls");
  QTreeWidgetItem* space = Node("Space");
  ASSERT_NE(owls, nullptr);
  ASSERT_NE(space, nullptr);
  EXPECT_EQ(owls->parent(), Node("Cats"));
  EXPECT_EQ(space->parent(), form->Tree().Root());
  ASSERT_EQ(space->childCount(), 1);
  EXPECT_EQ(space->child(0)->text(0), "Moon");
  EXPECT_EQ(TTaskTree::PathOf(owls), ProjectPath() + "Cats/Owls.wrp");
  const std::shared_ptr<TTask> moon = form->TaskOfNode(space->child(0));
  ASSERT_NE(moon, nullptr);
  EXPECT_EQ(moon->URL.Text(), "https://moon.example/");
  EXPECT_TRUE(boxes.Shown().empty());
}

class TreeTargetTest : public ToolsTest {
 protected:
  TImportOutcome Import(const std::string& category, const std::string& name) {
    TTaskTreeImportTarget tree(*form);
    TProjectImporter importer(tree, form->Settings().Options);
    return importer.ImportProject({.Category = category, .Name = name, .URL = "https://" + name + ".example/"});
  }
};

TEST_F(TreeTargetTest, ACategoryCaptionOnATaskPutsTheImportBesideIt) {
  AddTask("Pets", "Birds", "http://127.0.0.1:9/");
  Open();
  EXPECT_EQ(Import("Birds", "Owls").Status, TImportStatus::Imported);
  EXPECT_TRUE(fs::is_regular_file(ProjectPath() + "Pets/Owls.wrp"));
  EXPECT_EQ(Node("Owls")->parent(), Node("Pets"));
  EXPECT_EQ(Import("Birds", "Owls").Status, TImportStatus::Exists) << "an existing file is kept";
  EXPECT_EQ(Node("Pets")->childCount(), 2);
}

TEST_F(TreeTargetTest, TwoProjectsOfANewCategoryMakeOneFolder) {
  Open();
  EXPECT_EQ(Import("Birds", "Owls").Status, TImportStatus::Imported);
  EXPECT_EQ(Import("Birds", "Crows").Status, TImportStatus::Imported);
  EXPECT_EQ(form->Tree().Root()->childCount(), 1);
  EXPECT_EQ(Node("Birds")->childCount(), 2);
}

TEST_F(TreeTargetTest, AFileInTheWayOfANewCategoryAddsNoNode) {
  WriteFile(ProjectPath() + "Birds", "not a folder");
  Open();
  const int shown = form->Tree().Root()->childCount();  // the file itself with "Show All"
  EXPECT_EQ(Import("Birds", "Owls").Status, TImportStatus::Failed);
  EXPECT_EQ(Node("Owls"), nullptr);
  EXPECT_EQ(form->Tree().Root()->childCount(), shown);
  EXPECT_EQ(ReadFile(ProjectPath() + "Birds"), "not a folder");
}

TEST_F(ToolsTest, DeleteByDropsTheRowsOfTheDeletedFilesOnly) {
  AddTabby();
  OpenWired();
  Select("Tabby");
  // Every file of at most 10 KB is a candidate; the user keeps c.gif.
  dialogs.Then([](QDialog& dialog) {
    dialog.findChild<QRadioButton*>("SmallThanButton")->click();
    dialog.findChild<QLineEdit*>("SizeEdit")->setText("10");
    dialog.findChild<QAbstractButton*>("OKButton")->click();
    return dialog.result();
  });
  dialogs.Then([](QDialog& dialog) {
    auto& confirm = dynamic_cast<TConfirmDeleteForm&>(dialog);
    TCheckedFilesModel* model = confirm.Model();
    for (int row = 0; row < model->rowCount(); ++row)
      if (model->index(row).data().toString() == "c.gif")
        model->setData(model->index(row), Qt::Unchecked, Qt::CheckStateRole);
    QSignalSpy ended(&confirm, &TConfirmDeleteForm::DeletionEnded);
    confirm.findChild<QAbstractButton*>("OKButton")->click();
    if (confirm.Job() && !ended.wait(10000)) return int(QDialog::Rejected);
    return dialog.result();
  });
  Trigger("ImagesDeleteByAction");
  EXPECT_EQ(dialogs.Pending(), 0);
  EXPECT_FALSE(fs::exists(Saved("a.jpg")));
  EXPECT_TRUE(fs::exists(Saved("c.gif")));
  EXPECT_EQ(ListedNames(), (QStringList{"b.png", "c.gif"}));
}

TEST_F(ToolsTest, LibraryAndCollectOpenOnTheWindowsLibraryAndTheTasksFolder) {
  AddTabby();
  OpenWired();
  auto record = std::make_shared<TImageDetail>();
  record->FileName = Saved("b.png");
  form->Library().Add(record);
  Select("Tabby");

  int libraryRows = -1;
  dialogs.Then([&](QDialog& dialog) {
    auto& library = dynamic_cast<TImageLibraryForm&>(dialog);
    QSignalSpy listed(&library, &TImageLibraryForm::ListingEnded);
    library.show();
    if (listed.empty() && !listed.wait(10000)) return int(QDialog::Rejected);
    libraryRows = library.Model()->rowCount();
    fs::remove(Saved("a.jpg"));  // as the window's Delete does
    return int(QDialog::Accepted);
  });
  Trigger("TasksLibraryAction");
  EXPECT_EQ(libraryRows, 1);
  ASSERT_TRUE(WaitForImages());
  EXPECT_EQ(ListedNames(), (QStringList{"b.png", "c.gif"})) << "the list shows the folder as it is now";

  int collectRows = -1;
  dialogs.Then([&](QDialog& dialog) {
    auto& collect = dynamic_cast<TCopyPicturesForm&>(dialog);
    QSignalSpy listed(&collect, &TCopyPicturesForm::ListingEnded);
    collect.show();
    if (listed.empty() && !listed.wait(10000)) return int(QDialog::Rejected);
    collectRows = collect.Model()->rowCount();
    return int(QDialog::Accepted);
  });
  Trigger("TasksCollectAction");
  EXPECT_EQ(collectRows, 2);
}

}  // namespace
}  // namespace vdk::test
