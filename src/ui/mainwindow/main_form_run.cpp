// The run control of the main window: Run, Stop, Restart, Stop all, the
// schedule's starts, the end of a run, and Save URL.

#include <QFileDialog>
#include <QTreeWidget>
#include <ostream>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/base/ole_date.h"
#include "core/model/task.h"
#include "core/model/task_file_writer.h"
#include "core/settings/reg_settings.h"
#include "ui/common/dialog_runner.h"
#include "ui/common/message_boxes.h"
#include "ui/common/wait_cursor.h"
#include "ui/dialogs/auto_shutdown.h"
#include "ui/mainwindow/found_files_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/task_runner.h"
#include "ui/mainwindow/task_tree.h"
#include "ui/mainwindow/wait_form.h"

namespace vdk {
namespace {

QString Text(const char* bytes) { return QString::fromUtf8(bytes); }

// Hides the wait window on every way out of a stop.
class TWaitWindowGuard {
 public:
  TWaitWindowGuard(TWaitForm& form, const QString& text) : form_(form) { form_.ShowWaitMessage(text); }
  ~TWaitWindowGuard() { form_.hide(); }
  TWaitWindowGuard(const TWaitWindowGuard&) = delete;
  TWaitWindowGuard& operator=(const TWaitWindowGuard&) = delete;

 private:
  TWaitForm& form_;
};

}  // namespace

bool TMainForm::HoldTaskFile(const TTask& task) {
  // The end of the task's last run may still be writing its file, under its hold.
  taskWriter_->Wait();
  if (runner_->Hold(task)) return true;
  ShowError(this, QStringLiteral("The task \"%1\" is running in another process (%2); run it again when that run has "
                                 "ended")
                      .arg(Text(task.Name.c_str()), Text(task.FileName.c_str())));
  return false;
}

void TMainForm::StartTask(const std::shared_ptr<TTask>& task) {
  try {
    if (HoldTaskFile(*task)) task->Start();
  } catch (const EVendrakeError& e) {
    if (task->Stopped()) runner_->Release(*task);
    ShowError(this, Text(e.what()));
  }
}

void TMainForm::RestartTask(const std::shared_ptr<TTask>& task) {
  try {
    if (HoldTaskFile(*task)) task->Restart();
  } catch (const EVendrakeError& e) {
    if (task->Stopped()) runner_->Release(*task);
    ShowError(this, Text(e.what()));
  }
}

void TMainForm::TasksRunActionExecute() {
  if (runner_->Tasks.RunningCount() >= kRunLimit) {
    ShowError(this, QStringLiteral("Too many tasks running, please wait until a task stop!"));
    return;
  }
  runner_->Tasks.ClearDisplayed();
  if (const std::shared_ptr<TTask> task = SelectedTask()) {
    if (!task->Stopped()) {
      ShowError(this, QStringLiteral("Sorry, current task already running !"));
    } else if (task->AllDone()) {
      Execute(QStringLiteral("TasksRestartAction"));
    } else {
      task->Displayed = true;
      StartTask(task);
    }
  }
  UpdateActions();
  UpdateTaskIcons();
}

void TMainForm::StopTask(const std::shared_ptr<TTask>& task, const QString& waitText) {
  const TWaitCursor hourglass;
  const TWaitWindowGuard wait(*waitForm_, waitText);
  task->Stop();
}

void TMainForm::TasksStopActionExecute() {
  QTreeWidgetItem* node = tree_->Selected();
  if (const std::shared_ptr<TTask> task = TaskOfNode(node)) {
    if (task->Stopped()) {
      ShowError(this, QStringLiteral("Sorry, current task already stopped !"));
    } else {
      StopTask(task, QStringLiteral("Terminate threads"));
      try {
        task->SaveToFile(TTaskTree::PathOf(node));
      } catch (const EVendrakeError& e) {
        ShowError(this, Text(e.what()));
      }
      runner_->Release(*task);
      foundFiles_->ClearItemIcons();
    }
  }
  UpdateActions();
  UpdateTaskIcons();
}

void TMainForm::TasksRestartActionExecute() {
  QTreeWidgetItem* node = tree_->Selected();
  if (IsTaskNode(TTaskTree::IconOf(node)) &&
      AskConfirm(this, QStringLiteral("This action will redownload images from specified url, are you sure ?"))) {
    // The question may have been open while the selection's task went.
    if (const std::shared_ptr<TTask> task = TaskOfNode(node); task && node == tree_->Selected()) {
      if (!task->Stopped()) StopTask(task, QStringLiteral("Terminate threads of current task"));
      task->Displayed = true;
      RestartTask(task);
    }
  }
  UpdateActions();
  UpdateTaskIcons();
}

void TMainForm::TasksStopAllActionExecute() {
  taskWriter_->Wait();
  {
    const TWaitCursor hourglass;
    const TWaitWindowGuard wait(*waitForm_, QStringLiteral("Terminate thread"));
    foundFiles_->ClearItemIcons();
    try {
      runner_->StopAll();
    } catch (const EVendrakeError& e) {
      ReportLater(Text(e.what()));
    }
  }
  UpdateActions();
  UpdateTaskIcons();
}

void TMainForm::TaskFinished(TTask& task) {
  // The task file first: nothing the views do may cost the finished run. It
  // is written on the writer's thread, from the task as it is now, under the
  // run's hold on it, so the window does not wait for the disk.
  if (!runner_->IsDeleted(task)) {
    try {
      task.FinishRun([this](const TTask& t) { taskWriter_->Write(t, t.FileName, runner_->TakeHold(t)); });
    } catch (const EVendrakeError& e) {
      ReportLater(Text(e.what()));
    }
  }
  runner_->Release(task);
  if (!task.NoRoomFailure().empty())
    ReportLater(QStringLiteral("The disk is full: the task \"%1\" stopped, and the files not saved wait for its next "
                               "run.\n%2")
                    .arg(Text(task.Name.c_str()), Text(task.NoRoomFailure().c_str())));
  UpdateActions();
  UpdateTaskIcons();
  foundFiles_->ClearRows();
  if (settings_->Options.AutoShutDown && runner_->Tasks.RunningCount() == 0 && shutdown_ != nullptr) {
    // The countdown is modal: it runs once this report of a worker is over.
    QTimer::singleShot(0, this, [this] {
      const TAutoShutdownSteps steps{[this] { return runner_->Tasks.RunningCount(); },
                                     [this] {
                                       exitRequested_ = true;
                                       ExitSequence();
                                     }};
      OfferShutdown(this, settings_->Options.AutoShutDown, steps, *shutdown_);
    });
  }
}

void TMainForm::CheckpointTick() {
  for (const std::string& failure : runner_->Checkpoint()) ReportLater(Text(failure.c_str()));
}

void TMainForm::ScheduleTick() {
  for (const auto& [task, start] : runner_->DueTasks(Now())) {
    if (start == TScheduledStart::Restart)
      RestartTask(task);
    else
      StartTask(task);
    UpdateActions();
    UpdateTaskIcons();
  }
}

void TMainForm::TasksSaveURLActionExecute() {
  const std::shared_ptr<TTask> task = SelectedTask();
  if (!task) return;
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setNameFilters({QStringLiteral("Text files(*.txt)"), QStringLiteral("All files(*.*)")});
  if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().first().toStdString();
  const TWaitCursor hourglass;
  std::string text = "* Finished item.\r\n\r\n";
  task->Items.ForEach(
      [&text](const TaskItemPtr& item) { text += (item->Done() ? "* " : "  ") + item->URL().Text() + "\r\n"; });
  try {
    WriteFileAtomically(path, DefaultFileMode(), [&text](std::ostream& out) { out << text; });
  } catch (const EVendrakeError& e) {
    ShowError(this, Text(e.what()));
  }
}

}  // namespace vdk
