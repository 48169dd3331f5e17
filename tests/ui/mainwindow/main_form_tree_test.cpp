// The task tree over the project folder: the sample tasks, the build and
// Refresh, New Folder, Delete, New and Properties through their dialogs.

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTreeWidget>
#include <filesystem>

#include "core/model/task.h"
#include "core/settings/exist_names.h"
#include "core/settings/reg_settings.h"
#include "library/image_library.h"
#include "main_form_fixture.h"
#include "platform/registry_file.h"
#include "support/qt_printers.h"
#include "ui/dialogs/help.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/project_folder.h"
#include "ui/mainwindow/sample_tasks.h"
#include "ui/mainwindow/task_runner.h"
#include "ui/mainwindow/task_tree.h"

namespace vdk::test {
namespace {

namespace fs = std::filesystem;

int CountTaskFiles(const std::string& folder) {
  int n = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.path().extension() == ".wrp") ++n;
  return n;
}

// Answers the New Folder dialog with a name.
ScriptedModals::Script NameFolder(const QString& name) {
  return [name](QDialog& dialog) {
    dialog.findChild<QLineEdit*>(QStringLiteral("FolderEdit"))->setText(name);
    return static_cast<int>(QDialog::Accepted);
  };
}

// Shows a dialog as a user sees it, lets fill set its fields and clicks its
// OKButton; the result is what the dialog made of it (it stays open and is
// rejected when it refuses the fields).
ScriptedModals::Script Confirm(std::function<void(QDialog&)> fill) {
  return [fill = std::move(fill)](QDialog& dialog) {
    dialog.show();
    fill(dialog);
    dialog.findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click();
    const int result = dialog.isVisible() ? static_cast<int>(QDialog::Rejected) : dialog.result();
    dialog.hide();
    return result;
  };
}

// Answers the New Task dialog with a URL and a name.
ScriptedModals::Script NewTask(const QString& url, const QString& name) {
  return Confirm([url, name](QDialog& d) {
    d.findChild<QLineEdit*>(QStringLiteral("URLEdit"))->setText(url);
    d.findChild<QLineEdit*>(QStringLiteral("NameEdit"))->setText(name);
  });
}

using TreeTest = MainFormTest;

TEST_F(TreeTest, TheFirstStartWritesTheSampleTasksOnce) {
  EditStore([](TRegSettings& s) { s.Options.DefaultTaskAdded = false; });
  Open();
  const auto categories = SampleCategories();
  ASSERT_EQ(categories.size(), 2u);
  EXPECT_EQ(categories[0].Tasks.size(), 5u);
  EXPECT_EQ(categories[1].Tasks.size(), 13u);
  QTreeWidgetItem* root = form->Tree().Root();
  ASSERT_EQ(root->childCount(), 2);
  for (const auto& category : categories) {
    QTreeWidgetItem* folder = Node(QString::fromLatin1(category.Name));
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->childCount(), static_cast<int>(category.Tasks.size()));
    for (const auto& sample : category.Tasks) {
      EXPECT_TRUE(fs::is_regular_file(ProjectPath() + category.Name + "/" + sample.Name + ".wrp")) << sample.Name;
      EXPECT_TRUE(fs::is_directory(DownloadPath() + sample.Name + "/Saved")) << sample.Name;
      EXPECT_EQ(std::string(sample.URL).rfind("https://", 0), 0u) << sample.Name;
    }
  }
  Exit();
  Open();
  EXPECT_EQ(CountTaskFiles(ProjectPath()), 18) << "the next start adds nothing";
  EXPECT_EQ(form->Tree().Root()->childCount(), 2);
}

TEST_F(TreeTest, SampleTasksLeaveAnExistingTaskFileAlone) {
  const auto& first = SampleCategories()[0];
  const std::string path = AddTask(first.Name, first.Tasks[0].Name, "http://127.0.0.1:9/mine.html");
  EditStore([](TRegSettings& s) { s.Options.DefaultTaskAdded = false; });
  Open();
  TTask task;
  task.LoadFromFile(path);
  EXPECT_EQ(task.URL.Text(), "http://127.0.0.1:9/mine.html");
  EXPECT_EQ(CountTaskFiles(ProjectPath()), 18);
}

TEST_F(TreeTest, AFileInTheWayOfASampleCategoryCostsOnlyThatCategory) {
  const auto& first = SampleCategories()[0];
  WriteFile(ProjectPath() + first.Name, "mine");
  EditStore([](TRegSettings& s) { s.Options.DefaultTaskAdded = false; });
  Open();
  EXPECT_EQ(ReadFile(ProjectPath() + first.Name), "mine");
  EXPECT_EQ(CountTaskFiles(ProjectPath()), 13) << "the other category is written";
  ASSERT_TRUE(WaitUntil([&] { return !boxes.Shown().empty(); }));
  EXPECT_EQ(boxes.Last().caption, "Error");
  EXPECT_EQ(boxes.Last().text, QStringLiteral("Cannot create the folder %1").arg(QString::fromLatin1(first.Name)));
}

TEST_F(TreeTest, ShowAllAddsOtherFilesAndIsStoredAtExit) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  WriteFile(ProjectPath() + "Cats/readme.txt", "x");
  EditStore([](TRegSettings& s) { s.Menu.ShowAllFiles = false; });
  Open();
  EXPECT_EQ(Node("Cats")->childCount(), 1);
  EXPECT_FALSE(form->Action("ViewShowAllFilesAction")->isChecked());
  Trigger("ViewShowAllFilesAction");
  ASSERT_EQ(Node("Cats")->childCount(), 2);
  EXPECT_EQ(TTaskTree::IconOf(Node("readme.txt")), kFileIcon);
  Exit();
  TRegSettings stored(std::make_unique<TRegistryFile>(RegistryPath()), home.Path());
  stored.LoadFromRegistry();
  EXPECT_TRUE(stored.Menu.ShowAllFiles);
}

TEST_F(TreeTest, RefreshShowsWhatIsOnDiskNow) {
  Open();
  EXPECT_EQ(form->Tree().Root()->childCount(), 0);
  AddTask("Dogs", "Collie", "http://127.0.0.1:9/");
  Trigger("TasksRefreshAction");
  ASSERT_NE(Node("Collie"), nullptr);
  EXPECT_EQ(TTaskTree::IconOf(Node("Collie")), kTaskIcon);
  EXPECT_EQ(form->Runner().LoadedTaskFiles().size(), 1u) << "Refresh loads the tasks of the tree";
}

TEST_F(TreeTest, AnUnreadableTaskFileIsShownAndCostsOnlyItself) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  WriteFile(ProjectPath() + "Cats/Broken.wrp", std::string(100, 'x'));
  Open();
  QTreeWidgetItem* broken = Node("Broken");
  ASSERT_NE(broken, nullptr);
  EXPECT_FALSE(TTaskTree::ProblemOf(broken).isEmpty());
  Trigger("TasksRefreshAction");
  EXPECT_NE(form->TaskOfNode(Node("Tabby")), nullptr);
  Select("Broken");
  EXPECT_EQ(form->TaskOfNode(Node("Broken")), nullptr);
  EXPECT_FALSE(Enabled("TasksRunAction"));
  EXPECT_FALSE(Enabled("TasksPropAction"));
  EXPECT_TRUE(Enabled("TasksDeleteAction")) << "it can still be deleted";
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(TreeTest, NewFolderGoesUnderTheSelectedFolder) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  Open();
  Select("Cats");
  ASSERT_TRUE(Enabled("TasksNewFolderAction"));
  dialogs.Then(NameFolder("Kittens"));
  Trigger("TasksNewFolderAction");
  EXPECT_TRUE(fs::is_directory(ProjectPath() + "Cats/Kittens"));
  QTreeWidgetItem* node = Node("Kittens");
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->parent(), Node("Cats"));
  EXPECT_EQ(TTaskTree::IconOf(node), kFolderIcon);
  EXPECT_EQ(TTaskTree::PathOf(node), ProjectPath() + "Cats/Kittens");
}

TEST_F(TreeTest, NewFolderRefusesNamesThatAreNotFolderNames) {
  Open();
  for (const char* bad : {"", ".", "..", "a/b"}) {
    dialogs.Then(NameFolder(QString::fromLatin1(bad)));
    Trigger("TasksNewFolderAction");
    EXPECT_EQ(boxes.Last().caption, "Error") << bad;
  }
  EXPECT_EQ(form->Tree().Root()->childCount(), 0);
  EXPECT_TRUE(fs::is_empty(ProjectPath()));
  dialogs.Then(NameFolder("Birds"));
  Trigger("TasksNewFolderAction");
  dialogs.Then(NameFolder("Birds"));
  Trigger("TasksNewFolderAction");
  EXPECT_EQ(boxes.Last().text, "File exists") << "the system's own text";
  EXPECT_EQ(form->Tree().Root()->childCount(), 1);
  Trigger("TasksNewFolderAction");  // cancelled
  EXPECT_EQ(form->Tree().Root()->childCount(), 1);
}

TEST_F(TreeTest, DeleteAsksThenRemovesAFolderWithItsTasks) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  AddTask("Cats", "Siamese", "http://127.0.0.1:9/");
  Open();
  Select("Cats");
  boxes.Answer(QMessageBox::No);
  Trigger("TasksDeleteAction");
  EXPECT_EQ(boxes.Last().text, "Current selected item will be deleted, Are you sure ?");
  EXPECT_EQ(boxes.Last().caption, "Confirm");
  EXPECT_TRUE(fs::exists(ProjectPath() + "Cats"));
  boxes.Answer(QMessageBox::Yes);
  Trigger("TasksDeleteAction");
  EXPECT_FALSE(fs::exists(ProjectPath() + "Cats"));
  EXPECT_EQ(Node("Cats"), nullptr);
  EXPECT_EQ(Node("Tabby"), nullptr);
}

TEST_F(TreeTest, TheRootCannotBeDeleted) {
  Open();
  form->Tree().Select(form->Tree().Root());
  EXPECT_FALSE(Enabled("TasksDeleteAction"));
}

TEST_F(TreeTest, DeleteForgetsTheImportedName) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  {
    TRegistryFile store(RegistryPath());
    TExistNames names(store);
    names.Save({"Tabby", "Other"});
  }
  Open();
  Select("Tabby");
  boxes.Answer(QMessageBox::Yes);
  Trigger("TasksDeleteAction");
  TRegistryFile store(RegistryPath());
  EXPECT_EQ(TExistNames(store).Names, std::vector<std::string>{"Other"});
}

TEST_F(TreeTest, ADeletedTaskIsNeverSavedOrFoundAgain) {
  const std::string path = AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  Open();
  Select("Tabby");
  const std::shared_ptr<TTask> old = form->SelectedTask();
  ASSERT_NE(old, nullptr);
  boxes.Answer(QMessageBox::Yes);
  Trigger("TasksDeleteAction");
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(form->Runner().IsDeleted(*old));
  EXPECT_TRUE(form->Runner().LoadedTaskFiles().empty());
  Trigger("TasksStopAllAction");
  EXPECT_FALSE(fs::exists(path)) << "Stop all does not write it back";

  // A task made later at the same path is a new object.
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/again");
  Trigger("TasksRefreshAction");
  const std::shared_ptr<TTask> again = form->TaskOfNode(Node("Tabby"));
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, old);
  EXPECT_EQ(again->URL.Text(), "http://127.0.0.1:9/again");
}

TEST_F(TreeTest, TwoFilesWithOneTaskIdShareOneTask) {
  const std::string first = AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  fs::copy_file(first, ProjectPath() + "Cats/Copy.wrp");
  Open();
  QTreeWidgetItem* a = Node("Tabby");
  ASSERT_EQ(a->parent()->childCount(), 2);
  QTreeWidgetItem* b = a->parent()->child(0) == a ? a->parent()->child(1) : a->parent()->child(0);
  EXPECT_EQ(form->TaskOfNode(a), form->TaskOfNode(b));
  EXPECT_EQ(form->Runner().Tasks.Count(), 1);
}

TEST_F(TreeTest, OptionsAndHelpOpenTheirWindows) {
  Open();
  ASSERT_TRUE(Enabled("ViewOptionAction"));
  ASSERT_TRUE(Enabled("HelpTopicAction"));
  dialogs.Then(
      Confirm([](QDialog& d) { d.findChild<QCheckBox*>(QStringLiteral("AutoShutDownCheckBox"))->setChecked(true); }));
  Trigger("ViewOptionAction");
  EXPECT_TRUE(form->Settings().Options.AutoShutDown);
  dialogs.Then([](QDialog& d) {
    d.findChild<QCheckBox*>(QStringLiteral("AutoShutDownCheckBox"))->setChecked(false);
    return static_cast<int>(QDialog::Rejected);
  });
  Trigger("ViewOptionAction");
  EXPECT_TRUE(form->Settings().Options.AutoShutDown) << "a cancelled dialog changes nothing";
  Trigger("HelpTopicAction");
  EXPECT_EQ(help.topics, std::vector<THelpTopic>{THelpTopic::Contents});
}

TEST_F(TreeTest, NewPlacesTheTaskBesideTheSelectedTaskAndNeverOverwrites) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/tabby");
  Open();
  Select("Tabby");
  ASSERT_TRUE(Enabled("TasksNewAction"));
  dialogs.Then(NewTask("http://127.0.0.1:9/siamese", "Siamese"));
  Trigger("TasksNewAction");
  const std::string path = ProjectPath() + "Cats/Siamese.wrp";
  ASSERT_TRUE(fs::is_regular_file(path));
  QTreeWidgetItem* node = Node("Siamese");
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->parent(), Node("Cats"));
  EXPECT_EQ(form->Tree().Selected(), node);
  const std::shared_ptr<TTask> task = form->SelectedTask();
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->TaskID.size(), 38u);
  EXPECT_EQ(task->URL.Text(), "http://127.0.0.1:9/siamese");

  // The same name again: refused, the file stays as it was.
  const auto before = fs::last_write_time(path);
  Select("Tabby");
  dialogs.Then(NewTask("http://127.0.0.1:9/other", "Siamese"));
  Trigger("TasksNewAction");
  EXPECT_EQ(boxes.Last().caption, "Error");
  EXPECT_EQ(fs::last_write_time(path), before);
  EXPECT_EQ(Node("Cats")->childCount(), 2);

  // A browser request hands its URL to the dialog; cancelled, nothing is made.
  form->BrowserRequest = true;
  form->BrowserURL = "https://from.browser/";
  QString shownURL;
  dialogs.Then([&shownURL](QDialog& d) {
    shownURL = d.findChild<QLineEdit*>(QStringLiteral("URLEdit"))->text();
    return static_cast<int>(QDialog::Rejected);
  });
  Trigger("TasksNewAction");
  EXPECT_EQ(shownURL, "https://from.browser/");
  EXPECT_EQ(CountTaskFiles(ProjectPath()), 2);
}

TEST_F(TreeTest, PropertiesSavesTheEditedTaskToItsNode) {
  const std::string path = AddTask("Cats", "Tabby", "http://127.0.0.1:9/tabby");
  Open();
  Select("Tabby");
  ASSERT_TRUE(Enabled("TasksPropAction"));
  dialogs.Then(
      Confirm([](QDialog& d) { d.findChild<QPlainTextEdit*>(QStringLiteral("NoteEdit"))->setPlainText("edited"); }));
  Trigger("TasksPropAction");
  TTask stored;
  stored.LoadFromFile(path);
  EXPECT_EQ(stored.Note, "edited");
  EXPECT_EQ(form->SelectedTask()->Note, "edited");
}

TEST_F(TreeTest, PropertiesRefusesATaskThatStartedWhileTheDialogWasOpen) {
  const std::string path = AddTask("Cats", "Tabby", "http://127.0.0.1:9/tabby");
  Open();
  Select("Tabby");
  const std::shared_ptr<TTask> task = form->SelectedTask();
  dialogs.Then(Confirm([&task](QDialog& d) {
    task->Start();  // the schedule started it meanwhile
    d.findChild<QPlainTextEdit*>(QStringLiteral("NoteEdit"))->setPlainText("lost");
  }));
  Trigger("TasksPropAction");
  EXPECT_EQ(boxes.Last().text, "Sorry, current task is running ... Please stop it and try again.");
  EXPECT_EQ(task->Note, "");
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  TTask stored;
  stored.LoadFromFile(path);
  EXPECT_EQ(stored.Note, "");
}

TEST_F(TreeTest, DeleteRefusesATaskThatStartedWhileTheQuestionWasOpen) {
  const std::string path = AddTask("Cats", "Tabby", "http://127.0.0.1:9/tabby");
  Open();
  Select("Tabby");
  const std::shared_ptr<TTask> task = form->SelectedTask();
  ASSERT_TRUE(Enabled("TasksDeleteAction"));
  boxes.whileNextShown = [&task] { task->Start(); };  // the schedule starts it
  boxes.Answer(QMessageBox::Yes);
  Trigger("TasksDeleteAction");
  EXPECT_EQ(boxes.Last().text, "Sorry, current task is running ... Please stop it and try again.");
  EXPECT_TRUE(fs::exists(path));
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
}

}  // namespace
}  // namespace vdk::test

namespace vdk::test {
namespace {

TEST_F(TreeTest, TheDownloadedFilesPanelFollowsTheSelection) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  WriteFile(DownloadPath() + "Tabby/Saved/b.png", std::string(3000, 'b'));
  WriteFile(DownloadPath() + "Tabby/Saved/a.jpg", std::string(5000, 'a'));
  Open();
  TImagesPanel* panel = form->ImagesPanel();
  for (const char* name : {"ImagesCopyToAction", "ImagesOpenFolderAction", "ImagesDeleteAllAction"})
    EXPECT_FALSE(Enabled(name)) << name << ": nothing listed yet";

  Select("Tabby");
  EXPECT_EQ(panel->Folder(), QString::fromStdString(DownloadPath() + "Tabby/Saved"));
  EXPECT_EQ(panel->Model()->rowCount(), 2);
  EXPECT_EQ(form->SelectedTask()->ImagesView, &panel->ImagesView()) << "the download adds its files there";
  EXPECT_TRUE(Enabled("ImagesOpenFolderAction"));
  EXPECT_TRUE(Enabled("ImagesDeleteAllAction"));
  EXPECT_TRUE(Enabled("ImagesBuildInAction"));
  EXPECT_FALSE(Enabled("ImagesCopyToAction"));
  panel->ListView()->selectRow(0);
  EXPECT_TRUE(Enabled("ImagesCopyToAction"));
  EXPECT_TRUE(Enabled("ImagesSetWallpaperAction"));

  QWidget* area = form->findChild<QWidget*>(QStringLiteral("DownloadedFilesPanel"));
  Select("Cats");
  EXPECT_FALSE(panel->IsBound());
  EXPECT_FALSE(area->isVisibleTo(form.get()));
  EXPECT_FALSE(Enabled("ImagesDeleteAllAction"));
  Select("Tabby");
  EXPECT_TRUE(area->isVisibleTo(form.get()));
}

TEST_F(TreeTest, SortActionsAndHeaderClicksAgree) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  WriteFile(DownloadPath() + "Tabby/Saved/b.png", std::string(3000, 'b'));
  WriteFile(DownloadPath() + "Tabby/Saved/a.jpg", std::string(5000, 'a'));
  EditStore([](TRegSettings& s) { s.Menu.ImageSort = 2; });
  Open();
  Select("Tabby");
  TImagesPanel* panel = form->ImagesPanel();
  EXPECT_EQ(panel->Model()->Order().Sort(), TImagesSort::BySize) << "the stored sort applies at start-up";
  Trigger("ImagesSortByNameAction");
  EXPECT_EQ(panel->Model()->Order().Sort(), TImagesSort::ByName);
  EXPECT_EQ(panel->Model()->Row(0).Caption, "a.jpg");
  panel->ColumnClicked(1);  // "Ext"
  EXPECT_TRUE(form->Action("ImagesSortByTypeAction")->isChecked());
}

TEST_F(TreeTest, BuildInShowsItsProgressInTheStatusBar) {
  AddTask("Cats", "Tabby", "http://127.0.0.1:9/");
  WriteFile(DownloadPath() + "Tabby/Saved/a.jpg", std::string(5000, 'a'));
  Open();
  Select("Tabby");
  boxes.Answer(QMessageBox::Yes);
  Trigger("ImagesBuildInAction");
  auto* first = form->findChild<QLabel*>(QStringLiteral("StatePanel0"));
  ASSERT_NE(form->findChild<QProgressBar*>(QStringLiteral("BuildInBar")), nullptr);
  EXPECT_EQ(first->text(), "Building");
  ASSERT_TRUE(WaitUntil([&] { return form->findChild<QProgressBar*>(QStringLiteral("BuildInBar")) == nullptr; }));
  EXPECT_EQ(first->text(), "");
  EXPECT_NE(form->Library().FindByName(DownloadPath() + "Tabby/Saved/a.jpg"), nullptr);
}

}  // namespace
}  // namespace vdk::test
