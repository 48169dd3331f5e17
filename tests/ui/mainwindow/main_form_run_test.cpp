// The run control through the window against the local test server: Run,
// Stop, Restart, Stop all, the limit of three, the schedule, the progress
// views and Save URL.

#include <QDialog>
#include <QFileDialog>
#include <QTabBar>
#include <QTreeWidget>
#include <filesystem>

#include "core/base/ole_date.h"
#include "core/model/task.h"
#include "core/model/task_file_lock.h"
#include "core/run/checkpoint.h"
#include "core/run/file_writer.h"
#include "core/settings/reg_settings.h"
#include "main_form_fixture.h"
#include "platform/registry_file.h"
#include "support/qt_printers.h"
#include "support/test_server.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/mainwindow/found_files_model.h"
#include "ui/mainwindow/log_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/report_model.h"
#include "ui/mainwindow/task_runner.h"
#include "ui/mainwindow/task_tree.h"
#include "ui/mainwindow/wait_form.h"

namespace vdk::test {
namespace {

namespace fs = std::filesystem;

std::string Img(const std::string& src) { return "<img src=\"" + src + "\">"; }
std::string Link(const std::string& href) { return "<a href=\"" + href + "\">x</a>"; }

class RunTest : public MainFormTest {
 protected:
  ~RunTest() override {
    Discard();
    server.ReleaseStalls();
  }

  // A small site: two pages, three pictures and one picture that hangs
  // after its first bytes until the test lets it go.
  void ServeSite(bool slowPicture) {
    server.Serve("/index.html", {.body = Link("a.html") + Img("p1.png") + Img("p2.png")});
    server.Serve("/a.html", {.body = Img("p3.png") + Img("slow.png")});
    for (const char* p : {"/p1.png", "/p2.png", "/p3.png"}) server.Serve(p, {.body = std::string(3000, 'p')});
    Reply slow{.body = std::string(5000, 's'), .contentType = "image/png"};
    if (slowPicture) {
      slow.cutAfter = 100;
      slow.stall = true;
    }
    server.Serve("/slow.png", slow);
  }

  // Opens the window and runs the named task.
  std::shared_ptr<TTask> OpenAndRun(const QString& name) {
    Open();
    Select(name);
    std::shared_ptr<TTask> task = form->SelectedTask();
    Trigger("TasksRunAction");
    return task;
  }

  // A task of the site without the size filter (the pictures are small).
  std::string AddSiteTask(const std::string& name, const std::string& page = "/index.html",
                          const std::function<void(TTask&)>& edit = {}) {
    const std::string path = AddTask("Sites", name, server.Url(page));
    TTask task;
    task.LoadFromFile(path);
    task.Options.EnableFileLimit = false;
    task.Options.TimeOut = 30;
    if (edit) edit(task);
    task.SaveToFile(path);
    return path;
  }

  std::string SavedFolder(const std::string& name) const { return DownloadPath() + name + "/Saved"; }
  std::vector<std::string> Partials(const std::string& name) const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(SavedFolder(name)))
      if (entry.path().filename().string().find("!!wr") != std::string::npos) found.push_back(entry.path());
    return found;
  }
  int RowOfURL(const std::string& url) const {
    TFoundFilesModel& rows = form->FoundFiles();
    for (int r = 0; r < rows.rowCount(); ++r)
      if (rows.index(r, TFoundFilesModel::kURLColumn).data().toString().toStdString() == url) return r;
    return -1;
  }
  // Waits until the slow picture's row shows its size: its transfer hangs.
  bool WaitForSlowPicture() {
    return WaitUntil([this] {
      const int row = RowOfURL(server.Url("/slow.png"));
      return row >= 0 && form->FoundFiles().index(row, TFoundFilesModel::kSizeColumn).data() != "---";
    });
  }
  // The site's task selected in a window that offers the power-off after the
  // last run; exited tells whether the Exit sequence ran.
  void OpenSiteWithAutoShutDown() {
    ServeSite(false);
    AddSiteTask("Site");
    EditStore([](TRegSettings& s) { s.Options.AutoShutDown = true; });
    Open();
    Select("Site");
    QObject::connect(form.get(), &TMainForm::Exited, [this] { exited = true; });
  }
  QString ReportValue(int row) const { return form->Report().index(row, TReportModel::kValueColumn).data().toString(); }
  int NodeIcon(const char* caption) const { return TTaskTree::IconOf(Node(QString::fromLatin1(caption))); }

  TestServer server;
  bool exited = false;
};

TEST_F(RunTest, ARunShowsItsProgressAndEndsSaved) {
  ServeSite(true);
  const std::string path = AddSiteTask("Site");
  Open();
  Select("Site");
  form->findChild<QTabBar*>(QStringLiteral("StateTabSet"))->setCurrentIndex(1);
  const std::shared_ptr<TTask> task = form->SelectedTask();
  ASSERT_TRUE(Enabled("TasksRunAction"));

  Trigger("TasksRunAction");
  EXPECT_FALSE(task->Stopped());
  EXPECT_EQ(NodeIcon("Site"), kRunningTaskIcon);
  EXPECT_TRUE(Enabled("TasksStopAction"));
  EXPECT_FALSE(Enabled("TasksRunAction"));
  EXPECT_TRUE(Enabled("TasksStopAllAction"));

  ASSERT_TRUE(WaitForSlowPicture());
  const int slowRow = RowOfURL(server.Url("/slow.png"));
  EXPECT_EQ(form->FoundFiles().ImageAt(slowRow), 1) << "its worker runs";
  EXPECT_EQ(form->FoundFiles().index(slowRow, TFoundFilesModel::kSizeColumn).data(), "5000");
  EXPECT_EQ(RowOfURL(server.Url("/index.html")), -1) << "a finished item's row is gone";
  form->TimerTimer();
  ASSERT_EQ(form->Report().rowCount(), 3);
  EXPECT_EQ(ReportValue(TReportModel::kNameRow), "Site");
  EXPECT_EQ(ReportValue(TReportModel::kURLRow), QString::fromStdString(server.Url("/index.html")));
  EXPECT_EQ(ReportValue(TReportModel::kFilesRow),
            QStringLiteral("%1/%2").arg(task->FinishedCount()).arg(task->Items.Count()));

  server.ReleaseStalls();
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  EXPECT_EQ(form->FoundFiles().rowCount(), 0);
  EXPECT_EQ(NodeIcon("Site"), kTaskIcon);
  EXPECT_FALSE(Enabled("TasksStopAllAction"));
  form->TimerTimer();
  EXPECT_EQ(ReportValue(TReportModel::kFilesRow), "6/6");
  form->Log().Flush();
  const auto lines = form->Log().Lines();
  EXPECT_GE(lines.size(), 6u);
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("p3.png") != std::string::npos; }));

  // Written on the writer's thread, which then lets the file go.
  ASSERT_TRUE(WaitUntil([&] { return !TTaskFileLock::IsBusy(path); }));
  TTask stored;
  stored.LoadFromFile(path);
  EXPECT_EQ(stored.Items.Count(), 6);
  EXPECT_EQ(stored.FinishedCount(), 6);
  EXPECT_TRUE(Partials("Site").empty());
  for (const char* name : {"p1.png", "p2.png", "p3.png"}) EXPECT_TRUE(fs::exists(SavedFolder("Site") + "/" + name));
  ASSERT_TRUE(WaitForImages());
  EXPECT_EQ(form->ImagesPanel()->Model()->rowCount(), 3) << "the saved pictures are listed";
}

TEST_F(RunTest, StopInTheMiddleLeavesNothingBehindAndRunResumes) {
  ServeSite(true);
  const std::string path = AddSiteTask("Site");
  const std::shared_ptr<TTask> task = OpenAndRun("Site");
  ASSERT_TRUE(WaitForSlowPicture());
  ASSERT_FALSE(Partials("Site").empty()) << "the picture is being written";

  Trigger("TasksStopAction");
  EXPECT_TRUE(task->Stopped());
  EXPECT_TRUE(Partials("Site").empty());
  EXPECT_EQ(form->WaitForm().TimesShown(), 1);
  EXPECT_EQ(form->WaitForm().Message(), "Terminate threads");
  EXPECT_FALSE(form->WaitForm().isVisible());
  for (int r = 0; r < form->FoundFiles().rowCount(); ++r) EXPECT_EQ(form->FoundFiles().ImageAt(r), 0);
  EXPECT_EQ(NodeIcon("Site"), kTaskIcon);
  TTask stored;
  stored.LoadFromFile(path);
  const int finished = stored.FinishedCount();
  EXPECT_LT(finished, stored.Items.Count()) << "the slow picture waits for the next run";

  server.ReleaseStalls();
  server.Serve("/slow.png", {.body = std::string(5000, 's'), .contentType = "image/png"});
  Trigger("TasksRunAction");
  EXPECT_EQ(task->FinishedCount(), finished) << "a resumed run keeps its count";
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  EXPECT_EQ(task->FinishedCount(), task->Items.Count());
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1) << "only the items not done ran again";
  EXPECT_TRUE(fs::exists(SavedFolder("Site") + "/slow.png"));
  EXPECT_TRUE(Partials("Site").empty());
}

TEST_F(RunTest, AtMostThreeTasksStartByHand) {
  Reply hang{.body = std::string(1000, 'x'), .cutAfter = 10, .stall = true};
  server.Serve("/hang.html", hang);
  for (const char* name : {"One", "Two", "Three", "Four"}) AddSiteTask(name, "/hang.html");
  Open();
  for (const char* name : {"One", "Two"}) {
    Select(name);
    Trigger("TasksRunAction");
  }
  EXPECT_EQ(form->Runner().Tasks.RunningCount(), 2);
  Select("Three");
  Trigger("TasksRunAction");
  EXPECT_EQ(form->Runner().Tasks.RunningCount(), 3) << "with two running, a third starts";
  EXPECT_TRUE(boxes.Shown().empty());
  Select("Four");
  Trigger("TasksRunAction");
  EXPECT_EQ(boxes.Last().text, "Too many tasks running, please wait until a task stop!");
  EXPECT_EQ(boxes.Last().caption, "Error");
  EXPECT_TRUE(form->SelectedTask()->Stopped());

  Trigger("TasksStopAllAction");
  EXPECT_EQ(form->Runner().Tasks.RunningCount(), 0);
  EXPECT_EQ(form->WaitForm().Message(), "Terminate thread");
  for (const char* name : {"One", "Two", "Three"}) EXPECT_EQ(NodeIcon(name), kTaskIcon) << name;
}

TEST_F(RunTest, TheShutdownCountdownAfterTheLastRunSavesEverythingFirst) {
  OpenSiteWithAutoShutDown();
  bool savedFirst = false;
  shutdown.onPowerOff = [&] { savedFirst = exited; };
  dialogs.Then([](QDialog&) { return static_cast<int>(QDialog::Accepted); });  // the countdown ran out
  Trigger("TasksRunAction");
  ASSERT_TRUE(WaitUntil([&] { return shutdown.requests == 1; }));
  EXPECT_TRUE(savedFirst) << "the Exit sequence runs before the power-off";
  TRegSettings stored(std::make_unique<TRegistryFile>(RegistryPath()), home.Path());
  stored.LoadFromRegistry();
  EXPECT_TRUE(stored.Options.AutoShutDown) << "the settings were written";
}

TEST_F(RunTest, ACancelledShutdownCountdownLeavesTheProgramRunning) {
  OpenSiteWithAutoShutDown();
  Trigger("TasksRunAction");  // no script: the countdown is cancelled
  ASSERT_TRUE(WaitUntil([&] { return dialogs.Shown().size() == 1; }));
  EXPECT_EQ(shutdown.requests, 0);
  EXPECT_FALSE(exited);
  EXPECT_TRUE(Enabled("TasksRunAction"));
}

TEST_F(RunTest, RunAndStopSayWhenTheTaskIsAlreadyThere) {
  Reply hang{.body = std::string(1000, 'x'), .cutAfter = 10, .stall = true};
  server.Serve("/hang.html", hang);
  AddSiteTask("One", "/hang.html");
  Open();
  Select("One");
  form->TasksStopActionExecute();
  EXPECT_EQ(boxes.Last().text, "Sorry, current task already stopped !");
  Trigger("TasksRunAction");
  form->TasksRunActionExecute();
  EXPECT_EQ(boxes.Last().text, "Sorry, current task already running !");
  EXPECT_FALSE(form->SelectedTask()->Stopped());
}

// Another process (vendrake-cli) runs the task: Run refuses and says so; the
// window's own runs hold the task file until they have ended.
TEST_F(RunTest, ATaskThatAnotherProcessRunsIsBusy) {
  ServeSite(false);
  const std::string path = AddSiteTask("Site");
  Open();
  Select("Site");
  const std::shared_ptr<TTask> task = form->SelectedTask();
  {
    const auto other = TTaskFileLock::TryLock(path);
    ASSERT_TRUE(other);
    Trigger("TasksRunAction");
    EXPECT_TRUE(task->Stopped());
    EXPECT_EQ(boxes.Last().text.toStdString(),
              "The task \"Site\" is running in another process (" + path + "); run it again when that run has ended");
    EXPECT_TRUE(server.Requests().empty());
  }
  Trigger("TasksRunAction");
  EXPECT_FALSE(task->Stopped());
  EXPECT_TRUE(TTaskFileLock::IsBusy(path));
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  EXPECT_TRUE(WaitUntil([&] { return !TTaskFileLock::IsBusy(path); })) << "once its file is written";
}

// The window saves a running task every 30 s, as Stop would save it.
TEST_F(RunTest, ARunningTaskIsCheckpointedToItsFile) {
  ServeSite(true);
  const std::string path = AddSiteTask("Site");
  Open();
  Select("Site");
  const std::shared_ptr<TTask> task = form->SelectedTask();
  const auto started = TCheckpoint::Clock::now();
  Trigger("TasksRunAction");
  ASSERT_TRUE(WaitForSlowPicture());
  EXPECT_TRUE(form->Runner().Checkpoint(started + std::chrono::seconds(29)).empty());
  TTask stored;
  stored.LoadFromFile(path);
  EXPECT_EQ(stored.Items.Count(), 0) << "not saved before its interval";

  EXPECT_TRUE(form->Runner().Checkpoint(started + std::chrono::seconds(60)).empty());
  stored.LoadFromFile(path);
  EXPECT_EQ(stored.Items.Count(), task->Items.Count());
  const int slow = stored.Items.IndexOfURL(server.Url("/slow.png"));
  ASSERT_GE(slow, 0);
  EXPECT_FALSE(stored.Items.Items(slow)->Done()) << "a running item is saved as not done";
  EXPECT_FALSE(task->Stopped());
}

// A full disk stops the task and says so; its pictures wait for the next run.
TEST_F(RunTest, AFullDiskStopsTheTaskWithAnErrorBox) {
  struct FullDisk : TFileWriter {
    int Write(int, const char*, std::size_t) override { return ENOSPC; }
  };
  ServeSite(false);
  AddSiteTask("Site");
  Open();
  Select("Site");
  const std::shared_ptr<TTask> task = form->SelectedTask();
  task->Writer = std::make_shared<FullDisk>();
  Trigger("TasksRunAction");
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped() && !boxes.Shown().empty(); }));
  EXPECT_TRUE(boxes.Last().text.startsWith(
      QStringLiteral("The disk is full: the task \"Site\" stopped, and the files not saved wait for its next run.")))
      << boxes.Last().text.toStdString();
  EXPECT_NE(boxes.Last().text.indexOf(QStringLiteral("No space left on device")), -1);
  EXPECT_GT(task->Items.WaitingCount(), 0);
}

TEST_F(RunTest, StopAllWithNothingRunningOnlyShowsTheWaitWindow) {
  AddSiteTask("One");
  Open();
  form->TasksStopAllActionExecute();
  EXPECT_EQ(form->WaitForm().TimesShown(), 1);
  EXPECT_FALSE(form->WaitForm().isVisible());
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(RunTest, RunOnAFinishedTaskAsksToRestartAndNoChangesNothing) {
  ServeSite(false);
  AddSiteTask("Site");
  const std::shared_ptr<TTask> task = OpenAndRun("Site");
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  ASSERT_EQ(task->FinishedCount(), 6);

  boxes.Answer(QMessageBox::No);
  Trigger("TasksRunAction");
  EXPECT_EQ(boxes.Last().text, "This action will redownload images from specified url, are you sure ?");
  EXPECT_EQ(boxes.Last().caption, "Confirm");
  EXPECT_TRUE(task->Stopped());
  EXPECT_EQ(task->Items.Count(), 6);
  EXPECT_EQ(task->FinishedCount(), 6);

  boxes.Answer(QMessageBox::Yes);
  Trigger("TasksRunAction");
  EXPECT_FALSE(task->Stopped());
  // The restarted workers may already have added the start page's links, so
  // only the first item is certain: the start URL, afresh.
  EXPECT_EQ(task->Items.Items(0)->Depth, 0) << "afresh from the start URL";
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  form->findChild<QTabBar*>(QStringLiteral("StateTabSet"))->setCurrentIndex(1);
  form->TimerTimer();
  EXPECT_EQ(ReportValue(TReportModel::kFilesRow), "6/6");
  EXPECT_EQ(task->FinishedCount(), 6);
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 2);
}

TEST_F(RunTest, TheScheduleStartsADueTaskOncePerSlot) {
  ServeSite(false);
  AddSiteTask("Daily", "/index.html", [](TTask& task) {
    task.Options.Scheme.SchemeType = 2;
    task.Options.Scheme.SchemeCount = 1;
    task.Options.Scheme.SchemeStartDate = DatePart(Now());
  });
  AddSiteTask("Unscheduled", "/a.html");
  Open();
  form->TimerTimer();
  EXPECT_EQ(form->Runner().Tasks.RunningCount(), 0) << "the schedule only sees loaded tasks";
  Trigger("TasksRefreshAction");  // loads every task of the tree
  form->TimerTimer();
  const std::shared_ptr<TTask> daily = form->TaskOfNode(Node("Daily"));
  EXPECT_FALSE(daily->Stopped());
  EXPECT_EQ(NodeIcon("Daily"), kRunningTaskIcon);
  EXPECT_TRUE(form->TaskOfNode(Node("Unscheduled"))->Stopped());
  ASSERT_TRUE(WaitUntil([&] { return daily->Stopped(); }));
  form->TimerTimer();
  form->TimerTimer();
  EXPECT_TRUE(daily->Stopped()) << "not again in the same slot";
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1);
}

TEST_F(RunTest, TheScheduleCrawlsAFinishedTaskAfreshOncePerSlot) {
  ServeSite(false);
  const std::string path = AddSiteTask("Daily", "/index.html", [this](TTask& task) {
    task.Options.Scheme.SchemeType = 2;
    task.Options.Scheme.SchemeCount = 1;
    task.Options.Scheme.SchemeStartDate = DatePart(Now());
    for (const char* page : {"/index.html", "/p1.png"}) {
      auto item = std::make_shared<TTaskItem>(&task, server.Url(page));
      item->SetDone(true);
      task.Items.Append(item);
    }
  });
  Open();
  Trigger("TasksRefreshAction");
  const std::shared_ptr<TTask> daily = form->TaskOfNode(Node("Daily"));
  ASSERT_TRUE(daily->AllDone());
  form->TimerTimer();
  EXPECT_FALSE(daily->Stopped()) << "restarted, with no question";
  EXPECT_TRUE(boxes.Shown().empty());
  EXPECT_EQ(daily->Items.Items(0)->Depth, 0) << "afresh from the start URL";
  EXPECT_EQ(NodeIcon("Daily"), kRunningTaskIcon);
  ASSERT_TRUE(WaitUntil([&] { return daily->Stopped(); }));
  EXPECT_EQ(daily->FinishedCount(), 6);
  EXPECT_EQ(daily->Items.Count(), 6) << "the old items went";
  form->TimerTimer();
  form->TimerTimer();
  EXPECT_TRUE(daily->Stopped()) << "not again in the same slot";
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1);
  ASSERT_TRUE(WaitUntil([&] { return !TTaskFileLock::IsBusy(path); }));
  TTask stored;
  stored.LoadFromFile(path);
  EXPECT_EQ(stored.FinishedCount(), 6);
}

TEST_F(RunTest, AFinishedTaskEmptiesTheListOfTheDisplayedOne) {
  Reply hang{.body = std::string(1000, 'x'), .cutAfter = 10, .stall = true};
  server.Serve("/hang.html", hang);
  server.Serve("/quick.png", {.body = "png"});
  AddSiteTask("Hanging", "/hang.html");
  AddSiteTask("Quick", "/quick.png");
  Open();
  Select("Quick");
  const std::shared_ptr<TTask> quick = form->SelectedTask();
  Select("Hanging");
  Trigger("TasksRunAction");
  form->FoundFiles().Flush();
  ASSERT_EQ(form->FoundFiles().rowCount(), 1);
  quick->Start();  // as the schedule would
  ASSERT_TRUE(WaitUntil([&] { return quick->Stopped(); }));
  EXPECT_EQ(form->FoundFiles().rowCount(), 0);
  Select("Quick");
  Select("Hanging");
  EXPECT_EQ(form->FoundFiles().rowCount(), 1) << "its list comes back with its node";
}

TEST_F(RunTest, SharedTaskIdsShowBothNodesRunning) {
  Reply hang{.body = std::string(1000, 'x'), .cutAfter = 10, .stall = true};
  server.Serve("/hang.html", hang);
  const std::string path = AddSiteTask("One", "/hang.html");
  fs::copy_file(path, ProjectPath() + "Sites/Copy.wrp");
  Open();
  Select("One");
  Trigger("TasksRunAction");
  for (QTreeWidgetItem* node : {Node("One")->parent()->child(0), Node("One")->parent()->child(1)})
    EXPECT_EQ(TTaskTree::IconOf(node), kRunningTaskIcon);
}

TEST_F(RunTest, SaveURLWritesTheWorkListWithCrLf) {
  const std::string path = AddSiteTask("Site");
  {
    TTask task;
    task.LoadFromFile(path);
    auto done = std::make_shared<TTaskItem>(&task, "http://a.example/done.html");
    done->SetDone(true);
    task.Items.Append(done);
    task.Items.Append(std::make_shared<TTaskItem>(&task, "http://a.example/pending.jpg"));
    task.SaveToFile(path);
  }
  Open();
  Select("Site");
  const std::string out = home / "urls.txt";
  dialogs.Then([&out](QDialog& dialog) {
    static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(out));
    return static_cast<int>(QDialog::Accepted);
  });
  Trigger("TasksSaveURLAction");
  EXPECT_EQ(ReadFile(out),
            "* Finished item.\r\n\r\n* http://a.example/done.html\r\n  http://a.example/pending.jpg\r\n");
  Trigger("TasksSaveURLAction");  // cancelled
  EXPECT_EQ(dialogs.Shown().size(), 2u);
}

}  // namespace
}  // namespace vdk::test

namespace vdk::test {
namespace {

TEST_F(RunTest, DeletingAFolderStopsItsRunningTaskForGood) {
  Reply hang{.body = std::string(1000, 'x'), .cutAfter = 10, .stall = true};
  server.Serve("/hang.html", hang);
  const std::string path = AddSiteTask("One", "/hang.html");
  const std::shared_ptr<TTask> task = OpenAndRun("One");
  ASSERT_FALSE(task->Stopped());
  Select("Sites");
  boxes.Answer(QMessageBox::Yes);
  Trigger("TasksDeleteAction");
  EXPECT_TRUE(task->Stopped());
  EXPECT_FALSE(fs::exists(ProjectPath() + "Sites"));
  EXPECT_FALSE(Enabled("TasksStopAllAction"));
  Exit();
  EXPECT_FALSE(fs::exists(path)) << "neither Stop all nor Exit writes it back";
}

// The end of a run writes the task file on the writer's thread, under the
// run's hold: whatever comes next waits for it.
TEST_F(RunTest, ExitRightAfterARunsEndFindsItSavedAndTheFileFree) {
  ServeSite(false);
  const std::string path = AddSiteTask("Site");
  const std::shared_ptr<TTask> task = OpenAndRun("Site");
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  Exit();
  TTask stored;
  stored.LoadFromFile(path);
  EXPECT_EQ(stored.Items.Count(), 6);
  EXPECT_EQ(stored.FinishedCount(), 6);
  EXPECT_FALSE(TTaskFileLock::IsBusy(path));
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(RunTest, ATaskDeletedRightAfterItsRunsEndStaysDeleted) {
  ServeSite(false);
  const std::string path = AddSiteTask("Site");
  const std::shared_ptr<TTask> task = OpenAndRun("Site");
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  boxes.Answer(QMessageBox::Yes);
  Trigger("TasksDeleteAction");
  EXPECT_FALSE(fs::exists(path));
  Exit();
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(RunTest, ATaskFileThatCannotBeWrittenAtARunsEndIsReported) {
  ServeSite(true);
  const std::string path = AddSiteTask("Site");
  const std::shared_ptr<TTask> task = OpenAndRun("Site");
  ASSERT_TRUE(WaitForSlowPicture());
  fs::remove_all(ProjectPath() + "Sites");  // behind the window's back
  server.ReleaseStalls();
  ASSERT_TRUE(WaitUntil([&] { return task->Stopped(); }));
  ASSERT_TRUE(WaitUntil([&] { return !boxes.Shown().empty(); }));
  EXPECT_EQ(boxes.Last().caption, "Error");
  EXPECT_NE(boxes.Last().text.indexOf(QString::fromStdString(path)), -1) << boxes.Last().text.toStdString();
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace vdk::test
