#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTest>
#include <filesystem>

#include "core/model/task.h"
#include "core/model/task_factory.h"
#include "core/run/event_loop.h"
#include "core/run/task_thread.h"
#include "dialog_test_support.h"
#include "support/recorded_dialog_services.h"
#include "support/recorded_services.h"
#include "support/temp_dir.h"
#include "ui/dialogs/task_commands.h"
#include "ui/dialogs/task_form.h"

namespace vdk::test {
namespace {

const QString kInvalidName = "Sorry, the task name is invalid, please change a name and try again!";

class TaskFormTest : public ::testing::Test {
 protected:
  TaskFormTest() {
    std::filesystem::create_directories(projects);
    std::filesystem::create_directories(pictures);
    defaults.DefaultFolder = pictures;
    defaults.FileMasks = {"gif, Saved", "jpg, Saved"};
    defaults.ExcludeFiles = {"blank.gif"};
    defaults.Scheme = {1, 2, 45000, 0};
  }

  static QLineEdit* Edit(const QWidget& form, const char* name) { return Child<QLineEdit>(form, name); }
  static QCheckBox* Check(const QWidget& form, const char* name) { return Child<QCheckBox>(form, name); }
  static QString Page(const QWidget& form) {
    return Child<QStackedWidget>(form, "PageStack")->currentWidget()->objectName();
  }
  // What a user typing a URL and leaving the edit gets.
  static void TypeURL(QWidget& form, const QString& url) {
    QLineEdit* edit = Edit(form, "URLEdit");
    edit->setText(url);
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(edit, &leave);
  }
  // A shown New dialog for a task in the project folder.
  void ShowNew(TTaskForm& form, const std::optional<std::string>& browserURL = std::nullopt) {
    form.PrepareNew(defaults, projects, browserURL);
    form.show();
  }
  void ExpectStillOpen(const TTaskForm& form, const QString& message) {
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(boxes.Last().caption, "Error");
    EXPECT_EQ(boxes.Last().icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.Last().text, message);
  }

  TempDir dir;
  const std::string projects = dir / "projects/";
  const std::string pictures = dir / "pictures/";
  RecordedBoxes boxes;
  RecordedDialogs dialogs;
  RecordedClipboard clipboard;
  RecordedFolderPicker picker;
  RecordedHelp help;
  TRegOptions defaults;
};

TEST_F(TaskFormTest, NewStartsFromTheDefaultsWithAnEditableName) {
  TTaskForm form;
  ShowNew(form);
  EXPECT_EQ(form.windowTitle(), "New Task");
  EXPECT_EQ(Page(form), "NameAndURLPage");
  EXPECT_FALSE(Check(form, "SpecifiedAsURLCheckBox")->isChecked());
  EXPECT_FALSE(Edit(form, "NameEdit")->isReadOnly());
  EXPECT_TRUE(Edit(form, "NameEdit")->text().isEmpty());
  EXPECT_TRUE(Edit(form, "URLEdit")->text().isEmpty());
  EXPECT_EQ(Edit(form, "FolderEdit")->text().toStdString(), pictures);
  EXPECT_EQ(Child<QGroupBox>(form, "FolderGroupBox")->title(), "Save folder :");
  EXPECT_EQ(Child<QGroupBox>(form, "MasksGroupBox")->title(), "Image extend names :");
  EXPECT_EQ(ListRows(form, "MaskListView"), (std::vector<QStringList>{{"gif", "Saved"}, {"jpg", "Saved"}}));
  EXPECT_EQ(ListRows(form, "ExcludeListView"), (std::vector<QStringList>{{"blank.gif"}}));
  EXPECT_FALSE(Check(form, "LoginCheckBox")->isChecked());
  EXPECT_FALSE(Edit(form, "UserNameEdit")->isEnabled());
  EXPECT_FALSE(Edit(form, "PasswordEdit")->isEnabled());
  EXPECT_EQ(Edit(form, "PasswordEdit")->echoMode(), QLineEdit::Password);
}

// The clipboard's text becomes the URL, blanks and all, when it looks like one.
TEST_F(TaskFormTest, NewTakesAURLFromTheClipboard) {
  clipboard.text = "  HTTP://EXAMPLE.ORG/Gallery  ";
  TTaskForm form;
  ShowNew(form);
  EXPECT_EQ(Edit(form, "URLEdit")->text(), "  HTTP://EXAMPLE.ORG/Gallery  ");
  TypeURL(form, Edit(form, "URLEdit")->text());  // holds "http://" once lower-cased: left alone
  EXPECT_EQ(Edit(form, "URLEdit")->text(), "  HTTP://EXAMPLE.ORG/Gallery  ");

  clipboard.text = "www.example.org";
  TTaskForm other;
  ShowNew(other);
  EXPECT_TRUE(Edit(other, "URLEdit")->text().isEmpty());
}

// A browser request brings its URL, which names the task; the clipboard is not
// read and the save folder stays the default one until the name is edited.
TEST_F(TaskFormTest, BrowserRequestNamesTheTaskFromItsURL) {
  clipboard.text = "http://from.clipboard/";
  TTaskForm form;
  ShowNew(form, "https://example.org/cats/");
  EXPECT_EQ(clipboard.reads, 0);
  EXPECT_EQ(Edit(form, "URLEdit")->text(), "https://example.org/cats/");
  EXPECT_EQ(Edit(form, "NameEdit")->text(), "httpsexampleorgcats");
  EXPECT_EQ(Edit(form, "FolderEdit")->text().toStdString(), pictures);
  Edit(form, "NameEdit")->setText("Cats");
  EXPECT_EQ(Edit(form, "FolderEdit")->text().toStdString(), pictures + "Cats/");
}

TEST_F(TaskFormTest, SpecifiedAsURLDerivesANameNumberedPastExistingTaskFiles) {
  TTaskForm form;
  ShowNew(form);
  Check(form, "SpecifiedAsURLCheckBox")->setChecked(true);
  EXPECT_TRUE(Edit(form, "NameEdit")->isReadOnly());
  Edit(form, "URLEdit")->setText("http://a.org/x.y?z\\*");
  EXPECT_EQ(Edit(form, "NameEdit")->text(), "httpaorgxyz");
  WriteFile(projects + "httpaorgb.wrp", "");
  Edit(form, "URLEdit")->setText("http://a.org/b");
  EXPECT_EQ(Edit(form, "NameEdit")->text(), "httpaorgb[0]");
  Check(form, "SpecifiedAsURLCheckBox")->setChecked(false);
  EXPECT_FALSE(Edit(form, "NameEdit")->isReadOnly());
  Edit(form, "URLEdit")->setText("http://c.org/");
  EXPECT_EQ(Edit(form, "NameEdit")->text(), "httpaorgb[0]");
}

TEST_F(TaskFormTest, LeavingTheURLPutsHttpInFront) {
  TTaskForm form;
  ShowNew(form);
  TypeURL(form, "www.example.org/pics");
  EXPECT_EQ(Edit(form, "URLEdit")->text(), "http://www.example.org/pics");
  TypeURL(form, "https://secure.example.org/");  // faults.md S1
  EXPECT_EQ(Edit(form, "URLEdit")->text(), "https://secure.example.org/");
}

TEST_F(TaskFormTest, TheNameMakesTheSaveFolder) {
  TTaskForm form;
  ShowNew(form);
  Edit(form, "NameEdit")->setText("Cats");
  EXPECT_EQ(Edit(form, "FolderEdit")->text().toStdString(), pictures + "Cats/");
  Edit(form, "NameEdit")->clear();
  EXPECT_EQ(Edit(form, "FolderEdit")->text().toStdString(), pictures + "/");
}

TEST_F(TaskFormTest, OKRefusesInvalidNames) {
  for (const std::string& name : {std::string(), std::string("   "), std::string("a.b"), std::string("my task?"),
                                  std::string("cats&dogs"), std::string(252, 'n')}) {
    TTaskForm form;
    ShowNew(form);
    Child<QStackedWidget>(form, "PageStack")->setCurrentIndex(2);
    TypeURL(form, "http://example.org/");
    Edit(form, "NameEdit")->setText(QString::fromStdString(name));
    Click(form, "OKButton");
    ExpectStillOpen(form, kInvalidName);
    EXPECT_EQ(Page(form), "NameAndURLPage") << name;
  }
}

// A URL the task file cannot hold, or one that can never be fetched, is
// refused instead of being stored (faults.md S38).
TEST_F(TaskFormTest, OKRefusesURLsThatCannotBeUsed) {
  const struct {
    std::string url;
    QString message;
  } cases[] = {
      {"http://example.org/" + std::string(1005, 'p'),
       "Sorry, the URL is too long, please use a URL of at most 1023 bytes and try again!"},
      {"", "Sorry, the URL is invalid, please change it and try again!"},
      {"http://example.org/a\tb", "Sorry, the URL is invalid, please change it and try again!"},
  };
  for (const auto& c : cases) {
    TTaskForm form;
    ShowNew(form);
    Edit(form, "NameEdit")->setText("Cats");
    Edit(form, "URLEdit")->setText(QString::fromStdString(c.url));
    Click(form, "OKButton");
    ExpectStillOpen(form, c.message);
  }
  TTaskForm longest;  // 1023 bytes fit
  ShowNew(longest);
  Edit(longest, "NameEdit")->setText("Cats");
  Edit(longest, "URLEdit")->setText(QString::fromStdString("http://example.org/" + std::string(1004, 'p')));
  Click(longest, "OKButton");
  EXPECT_EQ(longest.result(), QDialog::Accepted);
}

// faults.md S25: a name whose task file exists is refused; nothing is written.
TEST_F(TaskFormTest, OKRefusesANameWhoseTaskFileExists) {
  WriteFile(projects + "Cats.wrp", "the user's task");
  TTaskForm form;
  ShowNew(form);
  TypeURL(form, "http://example.org/");
  Edit(form, "NameEdit")->setText("Cats");
  Click(form, "OKButton");
  ExpectStillOpen(form,
                  "Sorry, a task named \"Cats\" exists in this folder already, please change a name and "
                  "try again!");
  EXPECT_EQ(ReadFile(projects + "Cats.wrp"), "the user's task");
}

TEST_F(TaskFormTest, OKCreatesTheSaveFolderOrSaysWhyItCannot) {
  TTaskForm form;
  ShowNew(form);
  TypeURL(form, "http://example.org/");
  Edit(form, "NameEdit")->setText(" Cats");  // a leading blank is accepted
  Click(form, "OKButton");
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_TRUE(std::filesystem::is_directory(pictures + " Cats"));

  WriteFile(dir / "file", "");
  TTaskForm blocked;
  ShowNew(blocked);
  TypeURL(blocked, "http://example.org/");
  Edit(blocked, "NameEdit")->setText("Dogs");
  Edit(blocked, "FolderEdit")->setText(QString::fromStdString(dir / "file/dogs"));
  Click(blocked, "OKButton");
  EXPECT_TRUE(blocked.isVisible());
  EXPECT_TRUE(boxes.Last().text.startsWith("Sorry, the folder \"")) << boxes.Last().text.toStdString();
  EXPECT_EQ(Page(blocked), "GeneralPage");
}

TEST_F(TaskFormTest, NewWritesTheTaskWithEveryField) {
  dialogs.Answer([](QDialog& d) {
    TypeURL(d, "example.org/gallery/");
    Edit(d, "NameEdit")->setText("Gallery");
    Child<QPlainTextEdit>(d, "NoteEdit")->setPlainText("Holiday pictures");
    Check(d, "LoginCheckBox")->setChecked(true);
    Edit(d, "UserNameEdit")->setText("ann");
    Edit(d, "PasswordEdit")->setText("secret");
    Check(d, "EnableFileLimitCheckBox")->setChecked(false);
    Click(d, "OKButton");
  });
  const std::optional<TNewTaskFile> created = RunNewTask(nullptr, defaults, projects);
  ASSERT_TRUE(created.has_value());
  EXPECT_EQ(created->Name, "Gallery");
  EXPECT_EQ(created->FileName, projects + "Gallery.wrp");

  TTask task;
  task.LoadFromFile(created->FileName);
  EXPECT_EQ(task.Name, "Gallery");
  EXPECT_EQ(task.URL.Text(), "http://example.org/gallery/");
  EXPECT_EQ(task.Note, "Holiday pictures");
  EXPECT_TRUE(QRegularExpression("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$")
                  .match(QString::fromStdString(task.TaskID))
                  .hasMatch())
      << task.TaskID;
  EXPECT_EQ(task.Options.DefaultFolder, pictures + "Gallery/");
  EXPECT_EQ(task.Options.FileMasks, defaults.FileMasks);
  EXPECT_EQ(task.Options.ExcludeFiles, defaults.ExcludeFiles);
  EXPECT_EQ(task.Options.Scheme, defaults.Scheme);
  EXPECT_FALSE(task.Options.EnableFileLimit);
  EXPECT_TRUE(task.Options.NeedToLogin);
  EXPECT_EQ(task.Options.UserName, "ann");
  EXPECT_EQ(task.Options.Password, "secret");
  EXPECT_FALSE(task.Options.UseProxyServer);  // the dialog has no proxy fields
  EXPECT_TRUE(std::filesystem::is_directory(pictures + "Gallery"));
}

TEST_F(TaskFormTest, CancelledNewWritesNothing) {
  dialogs.Answer([](QDialog& d) {
    TypeURL(d, "http://example.org/");
    Edit(d, "NameEdit")->setText("Gallery");
    Click(d, "CancelButton");
  });
  EXPECT_FALSE(RunNewTask(nullptr, defaults, projects).has_value());
  EXPECT_TRUE(std::filesystem::is_empty(projects));
}

class TaskPropertiesTest : public TaskFormTest {
 protected:
  TaskPropertiesTest() {
    task.Name = "Birds";
    task.URL.SetURI("http://birds.example.org/");
    task.Note = "Garden birds";
    task.TaskID = NewGUID();
    task.Options.DefaultFolder = pictures + "Birds/";
    task.Options.FileMasks = {"png, Saved"};
    task.Options.NeedToLogin = true;
    task.Options.UserName = "bob";
    task.Options.Password = "pw";
    task.Options.UseProxyServer = true;
    task.Options.ProxyServerPort = 8080;
    task.SaveToFile(path);
  }

  ~TaskPropertiesTest() override {
    task.Stop();
    EXPECT_TRUE(TTaskThread::WaitForAll(std::chrono::seconds(30)));
    loop->ProcessPending();  // drops the stopped worker's calls
  }

  // Starts the task and leaves it running: its one worker asks a loopback
  // port that refuses, and its end is never processed here.
  void StartRunning() {
    task.Synchronizer = loop;
    task.Items.Append(std::make_shared<TTaskItem>(&task, "http://127.0.0.1:9/never.png"));
    task.Start();
  }

  const std::string path = projects + "Birds.wrp";
  std::shared_ptr<TEventLoop> loop = std::make_shared<TEventLoop>();
  std::shared_ptr<TTask> owner = std::make_shared<TTask>();
  TTask& task = *owner;
};

TEST_F(TaskPropertiesTest, EditShowsTheTaskAndWritesItBack) {
  dialogs.Answer([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Edit Task");
    EXPECT_EQ(Edit(d, "URLEdit")->text(), "http://birds.example.org/");
    EXPECT_FALSE(Edit(d, "URLEdit")->isEnabled());
    EXPECT_TRUE(Check(d, "SpecifiedAsURLCheckBox")->isChecked());
    EXPECT_FALSE(Check(d, "SpecifiedAsURLCheckBox")->isEnabled());
    EXPECT_TRUE(Edit(d, "NameEdit")->isReadOnly());
    EXPECT_EQ(Edit(d, "NameEdit")->text(), "Birds");
    EXPECT_EQ(Child<QPlainTextEdit>(d, "NoteEdit")->toPlainText(), "Garden birds");
    EXPECT_TRUE(Check(d, "LoginCheckBox")->isChecked());
    EXPECT_TRUE(Edit(d, "PasswordEdit")->isEnabled());
    EXPECT_EQ(Edit(d, "PasswordEdit")->text(), "pw");
    EXPECT_EQ(ListRows(d, "MaskListView"), (std::vector<QStringList>{{"png", "Saved"}}));
    Child<QPlainTextEdit>(d, "NoteEdit")->setPlainText("Garden and sea birds");
    Edit(d, "MaxSizeEdit")->setText("letters");
    Click(d, "OKButton");
  });
  EXPECT_TRUE(RunTaskProperties(nullptr, task, path));
  TTask saved;
  saved.LoadFromFile(path);
  EXPECT_EQ(saved.Name, "Birds");
  EXPECT_EQ(saved.Note, "Garden and sea birds");
  EXPECT_EQ(saved.Options.FileMaxSize, 0);
  EXPECT_EQ(saved.Options.DefaultFolder, pictures + "Birds/");
  EXPECT_EQ(saved.Options.UserName, "bob");
  EXPECT_TRUE(saved.Options.UseProxyServer);  // not shown, not changed
  EXPECT_EQ(saved.Options.ProxyServerPort, 8080);
  EXPECT_EQ(saved.TaskID, task.TaskID);
  EXPECT_EQ(task.Note, "Garden and sea birds");
}

TEST_F(TaskPropertiesTest, CancelLeavesTaskAndFileAlone) {
  const std::string before = ReadFile(path);
  dialogs.Answer([](QDialog& d) {
    Child<QPlainTextEdit>(d, "NoteEdit")->setPlainText("changed");
    Click(d, "CancelButton");
  });
  EXPECT_FALSE(RunTaskProperties(nullptr, task, path));
  EXPECT_EQ(task.Note, "Garden birds");
  EXPECT_EQ(ReadFile(path), before);
}

TEST_F(TaskPropertiesTest, ARunningTaskIsRefused) {
  StartRunning();
  EXPECT_FALSE(RunTaskProperties(nullptr, task, path));
  EXPECT_TRUE(dialogs.Captions().empty());
  EXPECT_EQ(boxes.Last().caption, "Error");
  EXPECT_EQ(boxes.Last().text, "Sorry, current task is running ... Please stop it and try again.");
}

// faults.md S28: a task its schedule started while the dialog was open is
// refused when the dialog returns; neither the task nor its file changes.
TEST_F(TaskPropertiesTest, ATaskStartedDuringTheDialogIsRefused) {
  const std::string before = ReadFile(path);
  dialogs.Answer([this](QDialog& d) {
    Child<QPlainTextEdit>(d, "NoteEdit")->setPlainText("changed");
    StartRunning();  // what the timer's scheduled start does meanwhile
    Click(d, "OKButton");
  });
  EXPECT_FALSE(RunTaskProperties(nullptr, task, path));
  EXPECT_EQ(boxes.Last().text, "Sorry, current task is running ... Please stop it and try again.");
  EXPECT_EQ(task.Note, "Garden birds");
  EXPECT_EQ(ReadFile(path), before);
}

TEST_F(TaskFormTest, LoginBoxEnablesItsFields) {
  TTaskForm form;
  ShowNew(form);
  Check(form, "LoginCheckBox")->setChecked(true);
  for (const char* name : {"UserNameEdit", "PasswordEdit", "UserNameLabel", "PasswordLabel"})
    EXPECT_TRUE(Child<QWidget>(form, name)->isEnabled()) << name;
  Check(form, "LoginCheckBox")->setChecked(false);
  for (const char* name : {"UserNameEdit", "PasswordEdit", "UserNameLabel", "PasswordLabel"})
    EXPECT_FALSE(Child<QWidget>(form, name)->isEnabled()) << name;
}

TEST_F(TaskFormTest, PasteAndCopyGoThroughTheClipboard) {
  TTaskForm form;
  form.SetPasteAllowed(false);
  ShowNew(form);
  EXPECT_EQ(clipboard.reads, 0);
  clipboard.text = "not even a URL";
  Click(form, "PasteButton");
  EXPECT_EQ(Edit(form, "URLEdit")->text(), "not even a URL");

  clipboard.text = "kept";
  Edit(form, "URLEdit")->setText("   ");
  Click(form, "CopyButton");
  EXPECT_EQ(clipboard.text, "kept");
  Edit(form, "URLEdit")->setText(" http://example.org/ ");
  Click(form, "CopyButton");
  EXPECT_EQ(clipboard.text, " http://example.org/ ");
}

TEST_F(TaskFormTest, ThePageTreeShowsThePageOfALeaf) {
  TTaskForm form;
  ShowNew(form);
  auto* tree = Child<QTreeWidget>(form, "PageTreeView");
  const std::pair<const char*, const char*> leaves[] = {{"Note", "NotePage"},
                                                        {"General", "GeneralPage"},
                                                        {"Web site", "WebSitePage"},
                                                        {"Scheme", "SchemePage"},
                                                        {"Name and URL", "NameAndURLPage"}};
  for (const auto& [text, page] : leaves) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << text;
    EXPECT_TRUE(found[0]->parent()->isExpanded());
    tree->setCurrentItem(found[0]);
    EXPECT_EQ(Page(form), page);
  }
  tree->setCurrentItem(tree->findItems("Options", Qt::MatchExactly)[0]);
  EXPECT_EQ(Page(form), "NameAndURLPage");
}

TEST_F(TaskFormTest, HelpButtonAndF1OpenTheNewTaskPage) {
  TTaskForm form;
  ShowNew(form);
  ShowActive(form);
  Click(form, "HelpButton");
  QTest::keyClick(&form, Qt::Key_F1);
  EXPECT_EQ(help.topics, (std::vector<THelpTopic>{THelpTopic::NewTask, THelpTopic::NewTask}));
}

}  // namespace
}  // namespace vdk::test
