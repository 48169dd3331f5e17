#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>
#include <unordered_set>

#include "ui/mainwindow/main_form_hooks.h"

class QLabel;
class QMenu;
class QProgressBar;
class QToolBar;
class QTreeWidgetItem;

namespace Ui {
class TMainForm;
}

namespace vdk {

class TRegistry;
class TRegSettings;
class TTask;
class TImageLibrary;
class TAddImageThreadList;
class TMainActions;
class TTaskTree;
class TTaskFileWriter;
class TTaskRunner;
class TFoundFilesModel;
class TLogModel;
class TReportModel;
class TWaitForm;
class TTrayIcon;
class TImagesPanel;
class TLibraryQueue;
class TShutdown;
enum class TSelectedNode;

// The main window: the task tree with the log and the report on the left,
// the found-files list and the downloaded-files panel on the right, the menus
// and tool bars of the action table, the notification-area icon, and the run
// control of the tasks (Run, Stop, Restart, Stop all, the 300 ms timer with
// the report and the schedule). It owns the settings, the loaded tasks, the
// image library with its add-image workers, and every view. GUI thread only.
//
// The handlers are split by concern: main_form.cpp (creation, selection,
// enabling rule, timer), main_form_tree.cpp (the project folder commands),
// main_form_run.cpp (the run control), main_form_images.cpp (the
// downloaded-files panel), main_form_close.cpp (placement, tray, tips,
// closing and the Exit sequence).
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kTimerMilliseconds = 300;
  static constexpr int kTipDelayMilliseconds = 2000;
  static constexpr int kRunLimit = 3;

  // registry: the settings store; home: the Vendrake home (ends with "/"),
  // which holds "imglib.db" and the default folder tree.
  TMainForm(std::unique_ptr<TRegistry> registry, std::string home, QWidget* parent = nullptr);
  ~TMainForm() override;

  // What other windows hang on the main window; their actions follow.
  void SetHooks(TMainFormHooks hooks);
  // Where the shutdown countdown sends its power-off request; it must
  // outlive the window. Without one no shutdown is offered.
  void SetShutdown(TShutdown* shutdown) { shutdown_ = shutdown; }
  // The downloaded-files panel below the image tool bar.
  TImagesPanel* ImagesPanel() const { return imagesPanel_; }
  QAction* Action(const QString& name) const;
  // Triggers an action the way a menu does: a disabled action does nothing.
  void Execute(const QString& name);

  TRegSettings& Settings() { return *settings_; }
  TImageLibrary& Library() { return *library_; }
  const std::string& LibraryFileName() const { return libraryFileName_; }
  TTaskTree& Tree() { return *tree_; }
  TTaskRunner& Runner() { return *runner_; }
  TFoundFilesModel& FoundFiles() { return *foundFiles_; }
  TLogModel& Log() { return *log_; }
  TReportModel& Report() { return *report_; }
  TWaitForm& WaitForm() { return *waitForm_; }
  TTrayIcon& Tray() { return *tray_; }

  // The task of a task node, loaded on first use; null for other nodes and
  // for a task file that cannot be read (the node is then marked so).
  std::shared_ptr<TTask> TaskOfNode(QTreeWidgetItem* node);
  std::shared_ptr<TTask> SelectedTask();

  // The project folder.
  void BuildTree();
  // A node for the folder name below parent's folder, made on the disk when
  // it is missing (an existing folder is used as it is). Null, with no node
  // added, when something other than a folder is in the way.
  QTreeWidgetItem* CreateFolderNode(QTreeWidgetItem* parent, const std::string& name);
  // A task file with the standard options for a name and a URL, and its node
  // (in node's folder, or beside node when node is a file). False, with
  // nothing written, when a task file of that name exists there.
  bool CreateTaskFile(const std::string& name, const std::string& url, QTreeWidgetItem* node);

  // The enabling rule, and icon 3 or 4 on every task node.
  void UpdateActions();
  void UpdateTaskIcons();
  // One tick of the 300 ms timer: the report, the checkpoints of the running
  // tasks, then the schedule.
  void TimerTimer();
  void TipTimerTimer();

  // Set by the browser integration before it executes "New" and "Run".
  bool BrowserRequest = false;
  std::string BrowserURL;
  // "New": the Task dialog and, on OK, the new task's node, selected. False
  // when the dialog was cancelled or no task file was written.
  bool NewTask();
  // Shows the window, also from the notification area or minimised, on top.
  void BringForward();
  bool ExitRequested() const { return exitRequested_; }
  bool ShowMinPrompt() const { return showMinPrompt_; }

  // "Exit" from outside the menus (a signal, the session's end, the
  // shutdown countdown): the window closes for good.
  void RequestExit();
  // Stop all and save, the log, the settings, the add-image workers and the
  // library, once; every failure is reported and the rest goes on.
  void ExitSequence();

 signals:
  // The Exit sequence has run; the program may end.
  void Exited();

 public slots:
  // Handlers, named after their actions.
  void TasksNewActionExecute();
  void TasksNewFolderActionExecute();
  void TasksImportActionExecute();
  void TasksDeleteActionExecute();
  void TasksPropActionExecute();
  void TasksRunActionExecute();
  void TasksStopActionExecute();
  void TasksCollectActionExecute();
  void TasksSaveURLActionExecute();
  void TasksLibraryActionExecute();
  void TasksRestartActionExecute();
  void TasksStopAllActionExecute();
  void TasksRefreshActionExecute();
  void TasksExitActionExecute();
  void ImagesCopyToActionExecute();
  void ImagesMoveToActionExecute();
  void ImagesDeleteActionExecute();
  void ImagesDeleteAllActionExecute();
  void ImagesDeleteByActionExecute();
  void ImagesSetWallpaperActionExecute();
  void ImagesOpenFolderActionExecute();
  void ImagesFitActionExecute();
  void ImagesUnsortActionExecute();
  void ImagesSortByNameActionExecute();
  void ImagesSortByTypeActionExecute();
  void ImagesSortBySizeActionExecute();
  void ImagesBuildInActionExecute();
  void ViewShowHideStdBarActionExecute();
  void ViewShowHideStateActionExecute();
  void ViewShowAllFilesActionExecute();
  void ViewOptionActionExecute();
  void HelpTopicActionExecute();
  void HelpTipActionExecute();
  void HelpAboutActionExecute();
  void HelpVisitActionExecute();
  void WinTaskbarClick();
  void TabSetChange(int index);
  void TasksTreeViewChange();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUpViews();
  void SetUpActions();
  void LoadSettings();
  void ApplyPlacement();
  void StoreSettings();
  void CreateSampleTasks();
  void TaskFinished(TTask& task);
  // Takes the run's hold on the task file (TTaskRunner::Hold); refuses with
  // an Error box when another process runs the task.
  bool HoldTaskFile(const TTask& task);
  void StartTask(const std::shared_ptr<TTask>& task);
  void RestartTask(const std::shared_ptr<TTask>& task);
  void StopTask(const std::shared_ptr<TTask>& task, const QString& waitText);
  void ScheduleTick();
  void ReportTick();
  void CheckpointTick();
  TSelectedNode KindOf(QTreeWidgetItem* node, std::shared_ptr<TTask>& task);
  void ApplyImageRule(const std::shared_ptr<TTask>& task, int rule);
  void SetUpImagesPanel();
  void UpdateImageActions();
  void ApplyImageSettings();
  void ShowBuildInProgress(int done, int total);
  void EndBuildInProgress();
  void SetEnabled(const char* action, bool on);
  void ReportLater(const QString& text);
  void SaveLog();
  void SaveLibrary();
  void FitColumns();

  std::unique_ptr<Ui::TMainForm> ui_;
  std::string home_;
  std::string libraryFileName_;
  std::unique_ptr<TRegSettings> settings_;
  std::unique_ptr<TImageLibrary> library_;
  std::unique_ptr<TAddImageThreadList> addImageWorkers_;
  std::unique_ptr<TLibraryQueue> libraryQueue_;
  std::unordered_set<std::string> libraryLoadedPaths_;  // the records the file held at start-up
  TMainActions* actions_ = nullptr;
  TFoundFilesModel* foundFiles_ = nullptr;
  TLogModel* log_ = nullptr;
  TReportModel* report_ = nullptr;
  TWaitForm* waitForm_ = nullptr;
  std::unique_ptr<TTaskTree> tree_;
  std::unique_ptr<TTaskRunner> runner_;
  std::unique_ptr<TTaskFileWriter> taskWriter_;  // the ends of runs
  std::unique_ptr<TTrayIcon> tray_;
  TImagesPanel* imagesPanel_ = nullptr;
  QToolBar* imageToolBar_ = nullptr;
  QMenu* treePopup_ = nullptr;
  QMenu* trayPopup_ = nullptr;
  QLabel* firstPanel_ = nullptr;
  QLabel* hintPanel_ = nullptr;
  QProgressBar* buildInBar_ = nullptr;
  TMainFormHooks hooks_;
  TShutdown* shutdown_ = nullptr;
  QTimer timer_;
  QTimer tipTimer_;
  bool exitRequested_ = false;
  bool exited_ = false;
  bool showMinPrompt_ = true;
  bool settingsFailed_ = false;
  bool placing_ = false;
};

}  // namespace vdk
