// What the main window keeps between runs and how it closes: the settings
// applied at creation and stored at Exit, the placement, the view toggles,
// the notification area, the tip of the day, About, and the Exit sequence.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QScreen>
#include <QToolBar>

#include "core/base/errors.h"
#include "core/base/ole_date.h"
#include "core/settings/reg_settings.h"
#include "library/add_image_thread_list.h"
#include "library/image_library.h"
#include "library/library_merge.h"
#include "ui/common/dialog_runner.h"
#include "ui/common/message_boxes.h"
#include "ui/dialogs/help.h"
#include "ui/dialogs/options_form.h"
#include "ui/mainwindow/about_form.h"
#include "ui/mainwindow/log_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/min_prompt_form.h"
#include "ui/mainwindow/rtf_log.h"
#include "ui/mainwindow/tip_form.h"
#include "ui/mainwindow/tray_icon.h"
#include "ui_main_form.h"

namespace vdk {
namespace {

// The sort actions in the order of the stored ImageSort values 0, 1 and 2.
const char* const kSortOfValue[] = {"ImagesUnsortAction", "ImagesSortByNameAction", "ImagesSortBySizeAction"};

}  // namespace

void TMainForm::LoadSettings() {
  try {
    settings_->LoadFromRegistry();
  } catch (const EVendrakeError&) {
    // The store could not be written back: the window opens across the
    // screen and start-up goes on.
    settingsFailed_ = true;
  }
  const TRegMenu& menu = settings_->Menu;
  showMinPrompt_ = settings_->Window.ShowMinPrompt;
  Action(QStringLiteral("ViewShowHideStdBarAction"))->setChecked(menu.ShowStandardToolBar);
  Action(QStringLiteral("ViewShowHideStateAction"))->setChecked(menu.ShowStatePanel);
  Action(QStringLiteral("ViewShowAllFilesAction"))->setChecked(menu.ShowAllFiles);
  Action(QStringLiteral("ImagesFitAction"))->setChecked(menu.FitImages);
  if (menu.ImageSort < 3) Action(QString::fromLatin1(kSortOfValue[menu.ImageSort]))->setChecked(true);
  ApplyImageSettings();
  ui_->StandardToolBar->setVisible(menu.ShowStandardToolBar);
  ui_->StatePanel->setVisible(menu.ShowStatePanel);
  ApplyPlacement();
}

void TMainForm::ApplyPlacement() {
  placing_ = true;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (settingsFailed_ && screen != nullptr) {
    setGeometry(0, 0, screen->geometry().width(), screen->availableGeometry().height());
  } else {
    const TRegWindow& w = settings_->Window;
    move(w.Left, w.Top);
    resize(std::max(w.Width, 200), std::max(w.Height, 150));
    if (w.State == 2) setWindowState(windowState() | Qt::WindowMaximized);
    if (w.State == 1) setWindowState(windowState() | Qt::WindowMinimized);
  }
  placing_ = false;
}

void TMainForm::showEvent(QShowEvent* event) {
  // Every show, also the return from the notification area, takes the
  // placement read at start-up.
  if (!placing_ && !event->spontaneous()) ApplyPlacement();
  QMainWindow::showEvent(event);
}

void TMainForm::StoreSettings() {
  TRegWindow& w = settings_->Window;
  const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : QRect(pos(), size());
  w.Left = normal.left();
  w.Top = normal.top();
  w.Width = normal.width();
  w.Height = normal.height();
  w.State = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  w.ShowMinPrompt = showMinPrompt_;
  TRegMenu& menu = settings_->Menu;
  menu.ShowStandardToolBar = Action(QStringLiteral("ViewShowHideStdBarAction"))->isChecked();
  menu.ShowStatePanel = Action(QStringLiteral("ViewShowHideStateAction"))->isChecked();
  menu.ShowAllFiles = Action(QStringLiteral("ViewShowAllFilesAction"))->isChecked();
  menu.FitImages = Action(QStringLiteral("ImagesFitAction"))->isChecked();
  // "Sort by type" is not stored: the value stays what it was.
  for (std::uint8_t value = 0; value < 3; ++value)
    if (Action(QString::fromLatin1(kSortOfValue[value]))->isChecked()) menu.ImageSort = value;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (exitRequested_) {
    ExitSequence();
    event->accept();
    return;
  }
  event->ignore();
  if (!tray_->IsAvailable()) {
    // Without a notification area a hidden window could not come back.
    showMinimized();
    return;
  }
  hide();
  if (showMinPrompt_) {
    TShowMinPromptForm prompt(this);
    RunDialog(prompt);
    if (prompt.DoNotShowAgain()) showMinPrompt_ = false;
  }
}

void TMainForm::TasksExitActionExecute() {
  exitRequested_ = true;
  close();
}

void TMainForm::RequestExit() { Execute(QStringLiteral("TasksExitAction")); }

void TMainForm::ExitSequence() {
  if (exited_) return;
  exited_ = true;
  timer_.stop();
  tipTimer_.stop();
  Execute(QStringLiteral("TasksStopAllAction"));
  if (settings_->Options.AutoSaveLog) SaveLog();
  StoreSettings();
  try {
    settings_->SaveToRegistry();
  } catch (const EVendrakeError& e) {
    ShowError(this, QString::fromUtf8(e.what()));
  }
  addImageWorkers_->Stop();
  SaveLibrary();
  emit Exited();
}

void TMainForm::SaveLog() {
  log_->Flush();
  try {
    SaveLogFile(settings_->Options.DefaultLogFolder, log_->Lines(), Now(),
                QLocale::system().decimalPoint().at(0).toLatin1());
  } catch (const EVendrakeError& e) {
    ShowError(this, QStringLiteral("The log could not be saved: %1").arg(QString::fromUtf8(e.what())));
  }
}

void TMainForm::SaveLibrary() {
  try {
    SaveLibraryFile(libraryFileName_, *library_, libraryLoadedPaths_);
  } catch (const EVendrakeError& e) {
    ShowError(this, QStringLiteral("The image library could not be saved: %1").arg(QString::fromUtf8(e.what())));
  }
}

void TMainForm::BringForward() {
  show();
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  raise();
  activateWindow();
}

void TMainForm::WinTaskbarClick() {
  if (isVisible() && !isMinimized()) {
    hide();
  } else {
    show();
    raise();
    activateWindow();
  }
}

void TMainForm::ViewShowHideStdBarActionExecute() {
  ui_->StandardToolBar->setVisible(Action(QStringLiteral("ViewShowHideStdBarAction"))->isChecked());
}

void TMainForm::ViewShowHideStateActionExecute() {
  ui_->StatePanel->setVisible(Action(QStringLiteral("ViewShowHideStateAction"))->isChecked());
}

void TMainForm::ViewOptionActionExecute() { EditDefaultOptions(this, settings_->Options); }

void TMainForm::HelpTopicActionExecute() { ShowHelp(this, THelpTopic::Contents); }

void TMainForm::TipTimerTimer() {
  // Once offered, the timer is stopped: the tip comes once per start.
  if (!tipTimer_.isActive() || !settings_->Window.ShowTip) return;
  tipTimer_.stop();
  HelpTipActionExecute();
}

void TMainForm::HelpTipActionExecute() {
  TTipForm form(this);
  form.SetDoNotShow(!settings_->Window.ShowTip);
  form.ShowTipAt(settings_->Window.TipIndex + 1);
  RunDialog(form);
  settings_->Window.TipIndex = form.CurrentTip();
  settings_->Window.ShowTip = !form.DoNotShow();
}

void TMainForm::HelpAboutActionExecute() {
  TAboutForm form(this);
  RunDialog(form);
}

void TMainForm::HelpVisitActionExecute() { VisitWebSite(); }

}  // namespace vdk
