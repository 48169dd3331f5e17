// The main window and its small windows, with a crawl of the demo gallery
// served from this repository on 127.0.0.1.

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <filesystem>

#include "core/model/task.h"
#include "core/model/task_factory.h"
#include "core/settings/reg_settings.h"
#include "platform/registry_file.h"
#include "scene.h"
#include "support/test_server.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/mainwindow/about_form.h"
#include "ui/mainwindow/found_files_model.h"
#include "ui/mainwindow/loading_form.h"
#include "ui/mainwindow/log_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/main_form_tools.h"
#include "ui/mainwindow/min_prompt_form.h"
#include "ui/mainwindow/new_folder_form.h"
#include "ui/mainwindow/task_tree.h"
#include "ui/mainwindow/tip_form.h"
#include "ui/mainwindow/wait_form.h"

namespace vdk::shots {
namespace {

// Waits on the GUI thread's events until the condition holds (or a minute).
void WaitFor(const std::function<bool()>& condition) {
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.start(60000);
  while (!condition() && deadline.isActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Serves the demo gallery; the pictures of the city page hang until released,
// so a crawl can be shown under way.
void ServeGallery(test::TestServer& server) {
  const QString root = QStringLiteral(VENDRAKE_SOURCE_DIR "/demo/gallery");
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    test::Reply reply{.body = in.readAll().toStdString()};
    if (file.endsWith(QLatin1String(".png"))) reply.contentType = "image/png";
    if (file.endsWith(QLatin1String(".bmp"))) reply.contentType = "image/bmp";
    if (file.endsWith(QLatin1String(".css"))) reply.contentType = "text/css";
    if (file.contains(QLatin1String("pictures/city-"))) {
      reply.cutAfter = reply.body.size() / 3;
      reply.stall = true;
    }
    server.Serve("/" + QDir(root).relativeFilePath(file).toStdString(), reply);
  }
}

std::unique_ptr<TMainForm> DemoWindow(const std::string& home, const std::string& url) {
  TRegSettings settings(std::make_unique<TRegistryFile>(home + "registry.reg"), home);
  settings.LoadFromRegistry();
  settings.Window = {.Height = 660, .Top = 0, .Left = 0, .Width = 1000, .ShowTip = false};
  settings.SaveToRegistry();
  std::filesystem::create_directories(settings.Options.ProjectPath + "Demo");
  auto task = CreateTaskFile("Demo gallery", url, settings.Options, settings.Options.ProjectPath + "Demo");
  task->Options.EnableFileLimit = false;
  task->SaveToFile(task->FileName);
  auto form = std::make_unique<TMainForm>(std::make_unique<TRegistryFile>(home + "registry.reg"), home);
  form->SetHooks(MainFormTools());
  return form;
}

}  // namespace

VDK_SCENE(main_window) {
  test::TestServer server;
  ServeGallery(server);
  const std::string home = shooter.Scratch().toStdString() + "/";
  std::unique_ptr<TMainForm> form = DemoWindow(home, server.Url("/index.html"));
  form->show();
  TTaskTree& tree = form->Tree();
  tree.Select(tree.FindByCaption(QStringLiteral("Demo gallery")));
  const std::shared_ptr<TTask> task = form->SelectedTask();
  form->Execute(QStringLiteral("TasksRunAction"));
  // Under way: the six city pictures hang part-way, everything else is done.
  WaitFor([&] {
    form->FoundFiles().Flush();  // the list as the task has it now
    if (task->RunningCount() != 6 || task->Items.WaitingCount() != 0 || form->ImagesPanel()->IsListing()) return false;
    for (int r = 0; r < form->FoundFiles().rowCount(); ++r)
      if (form->FoundFiles().index(r, TFoundFilesModel::kCompletedColumn).data().toString() == "---") return false;
    return true;
  });
  form->TimerTimer();
  form->Log().Flush();
  form->ImagesPanel()->Model()->Flush();
  form->ImagesPanel()->ListView()->selectRow(0);
  shooter.Shoot(form.get(), QStringLiteral("main-window"));

  server.ReleaseStalls();
  WaitFor([&] { return task->Stopped(); });
  form->findChild<QTabBar*>(QStringLiteral("StateTabSet"))->setCurrentIndex(1);
  form->TimerTimer();
  shooter.Shoot(form.get(), QStringLiteral("main-window-report"));
  form.reset();
}

VDK_SCENE(splash) {
  auto* splash = new TLoadingForm;
  splash->ShowNow();
  shooter.Shoot(splash, QStringLiteral("splash"));
  splash->close();
}

VDK_SCENE(tip) {
  TTipForm tip;
  tip.ShowTipAt(3);
  shooter.Shoot(&tip, QStringLiteral("tip"));
}

VDK_SCENE(about) {
  TAboutForm about;
  shooter.Shoot(&about, QStringLiteral("about"));
}

VDK_SCENE(small_windows) {
  TShowMinPromptForm prompt;
  shooter.Shoot(&prompt, QStringLiteral("minimized-prompt"));
  TNewFolderForm folder;
  folder.SetFolderName(QStringLiteral("Landscapes"));
  shooter.Shoot(&folder, QStringLiteral("new-folder"));
  TWaitForm wait;
  wait.ShowWaitMessage(QStringLiteral("Terminate threads"));
  shooter.Shoot(&wait, QStringLiteral("wait"));
}

}  // namespace vdk::shots
