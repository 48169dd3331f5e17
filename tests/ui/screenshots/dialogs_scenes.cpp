// The dialogs of the Options and New commands, the schedule dialog, the
// shutdown countdown and the help window, with demo data.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/base/ole_date.h"
#include "core/model/task.h"
#include "scene.h"
#include "support/recorded_dialog_services.h"
#include "ui/dialogs/add_file_form.h"
#include "ui/dialogs/add_file_mask_form.h"
#include "ui/dialogs/help.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/options_form.h"
#include "ui/dialogs/scheme_form.h"
#include "ui/dialogs/shutdown_form.h"
#include "ui/dialogs/task_form.h"

namespace vdk::shots {
namespace {

const std::string kHome = "/home/ann/.local/share/vendrake/";

TRegOptions DemoDefaults() {
  TRegOptions o;
  o.DefaultFolder = kHome + "Images/Downloaded Files/";
  o.DefaultLogFolder = kHome + "Images/Logs/";
  o.ProjectPath = kHome + "Images/Projects/";
  o.FileMasks = {"gif, Saved", "jpg, Saved", "jpeg, Saved", "png, Saved", "webp, Photos", "bmp, Saved"};
  o.ExcludeFiles = {"spacer.gif", "blank.gif", "logo.png"};
  o.Scheme = {1, 2, EncodeDate(2025, 3, 1), EncodeTime(8, 0, 0)};
  o.UseProxyServer = true;
  o.ProxyServerAddr = "proxy.example.net";
  o.ProxyServerPort = 3128;
  o.AutoShutDown = true;
  return o;
}

void ShootOptionsPage(Shooter& shooter, int page, const QString& name) {
  TOptionForm form;
  form.Fill(DemoDefaults());
  form.show();
  form.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(page);
  shooter.Shoot(&form, name);
}

void ShootTaskPage(Shooter& shooter, const QString& page, const QString& name) {
  test::RecordedClipboard clipboard(QStringLiteral("https://birds.example.org/gallery/"));
  TTask task;
  task.Name = "Garden birds";
  task.URL.SetURI("https://birds.example.org/gallery/");
  task.Note = "Pictures of the birds that visit the garden, collected once a week.";
  task.Options = DemoDefaults();
  task.Options.DefaultFolder = kHome + "Images/Downloaded Files/Garden birds/";
  task.Options.Scheme = {1, 3, EncodeDate(2025, 3, 1), EncodeTime(8, 0, 0)};
  task.Options.NeedToLogin = true;
  task.Options.UserName = "ann";
  task.Options.Password = "secret";
  TTaskForm form;
  form.PrepareEdit(task);
  form.show();
  auto* tree = form.findChild<QTreeWidget*>(QStringLiteral("PageTreeView"));
  tree->setCurrentItem(tree->findItems(page, Qt::MatchExactly | Qt::MatchRecursive).value(0));
  shooter.Shoot(&form, name);
}

}  // namespace

VDK_SCENE(options_dialog) {
  const char* pages[] = {"general", "web-site", "scheme", "proxy", "logs", "project"};
  for (int i = 0; i < 6; ++i) ShootOptionsPage(shooter, i, QStringLiteral("options-%1").arg(pages[i]));
}

VDK_SCENE(new_task_dialog) {
  test::RecordedClipboard clipboard(QStringLiteral("https://birds.example.org/gallery/"));
  TTaskForm form;
  form.PrepareNew(DemoDefaults(), shooter.Scratch().toStdString());
  form.show();
  form.findChild<QLineEdit*>(QStringLiteral("NameEdit"))->setText(QStringLiteral("Garden birds"));
  shooter.Shoot(&form, QStringLiteral("task-name-and-url"));
}

VDK_SCENE(task_dialog_pages) {
  ShootTaskPage(shooter, QStringLiteral("Note"), QStringLiteral("task-note"));
  ShootTaskPage(shooter, QStringLiteral("General"), QStringLiteral("task-general"));
  ShootTaskPage(shooter, QStringLiteral("Web site"), QStringLiteral("task-web-site"));
  ShootTaskPage(shooter, QStringLiteral("Scheme"), QStringLiteral("task-scheme"));
}

VDK_SCENE(schedule_dialog) {
  TSchemeForm form(nullptr, [] { return EncodeDate(2025, 3, 1) + EncodeTime(14, 3, 27); });
  form.Fill({2, 2, EncodeDate(2025, 3, 1), EncodeTime(8, 0, 0)}, QStringLiteral("Daily"));
  shooter.Shoot(&form, QStringLiteral("schedule"));
}

VDK_SCENE(list_entry_dialogs) {
  TAddFileMaskForm mask;
  mask.findChild<QLineEdit*>(QStringLiteral("ExtNameEdit"))->setText(QStringLiteral("webp"));
  shooter.Shoot(&mask, QStringLiteral("add-extension"));
  TAddFileForm file;
  file.findChild<QLineEdit*>(QStringLiteral("FileNameEdit"))->setText(QStringLiteral("spacer.gif"));
  shooter.Shoot(&file, QStringLiteral("add-filename"));
}

VDK_SCENE(shutdown_countdown) {
  TShutdownForm form(nullptr, std::chrono::hours(1));
  for (int i = 0; i < 5; ++i) form.TimerTimer();
  shooter.Shoot(&form, QStringLiteral("shutdown-countdown"));
}

VDK_SCENE(help_window) {
  THelpWindow window(HelpFolder());
  window.OpenTopic(THelpTopic::NewTask);
  shooter.Shoot(&window, QStringLiteral("help-window"));
}

}  // namespace vdk::shots
