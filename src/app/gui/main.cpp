// vendrake: the desktop program. One per user: a second start brings the
// running window forward and ends.

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/gui/termination_signals.h"
#include "core/base/errors.h"
#include "platform/browser_registration.h"
#include "platform/desktop/logind_shutdown.h"
#include "platform/program_switches.h"
#include "platform/registry_file.h"
#include "platform/vendrake_folders.h"
#include "ui/mainwindow/browser_automation.h"
#include "ui/mainwindow/loading_form.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/main_form_tools.h"
#include "ui/mainwindow/product.h"
#include "ui/mainwindow/session_service.h"

namespace {

vdk::TBrowserRegistration Registration() {
  return vdk::TBrowserRegistration::ForProgram(QCoreApplication::applicationFilePath().toStdString());
}

// "--regserver" and "--unregserver": the browser registration alone, with
// its errors reported.
int RunRegistration(vdk::TProgramSwitch what) {
  try {
    const std::unique_ptr<vdk::TRegistry> store = vdk::OpenUserRegistry();
    if (what == vdk::TProgramSwitch::RegServer)
      Registration().Register(*store);
    else
      Registration().Unregister(*store);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vendrake: %s\n", e.what());
    return 1;
  }
}

// Every start points the browser at this program again; a failure only
// means the browser entry may not work, so the program goes on.
void RefreshRegistration() {
  try {
    Registration().Register(*vdk::OpenUserRegistry());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vendrake: the browser registration was not refreshed: %s\n", e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vendrake"));
  QApplication::setDesktopFileName(QStringLiteral("org.vendrake.Vendrake"));
  // The window hides to the notification area; only Exit ends the program.
  QApplication::setQuitOnLastWindowClosed(false);

  const vdk::TProgramSwitch given = vdk::FindProgramSwitch(std::vector<std::string>(argv + 1, argv + argc));
  if (given == vdk::TProgramSwitch::RegServer || given == vdk::TProgramSwitch::UnregServer)
    return RunRegistration(given);

  // Caught from here on: a signal during the start is served once the window
  // is there, by its Exit sequence.
  vdk::gui::TTerminationSignals terminations;
  vdk::TSessionService session;
  // Published before the name is taken: a request that started the program
  // through the bus arrives as soon as the name is, and waits for the window.
  vdk::TBrowserAutomation automation;
  session.RegisterObject(QString::fromLatin1(vdk::TBrowserAutomation::kObjectPath), &automation);
  switch (session.Claim()) {
    case vdk::TSessionService::TClaim::Taken:
      if (session.ActivateRunning()) return 0;
      std::fprintf(stderr, "vendrake: another Vendrake of this user runs but does not answer.\n");
      return 1;
    case vdk::TSessionService::TClaim::NoBus:
      std::fprintf(stderr, "vendrake: no session bus; a second start will not be noticed.\n");
      break;
    case vdk::TSessionService::TClaim::Owned:
      break;
  }
  RefreshRegistration();

  auto* splash = new vdk::TLoadingForm;
  splash->ShowNow();
  std::unique_ptr<vdk::TMainForm> form;
  try {
    form = std::make_unique<vdk::TMainForm>(vdk::OpenUserRegistry(), vdk::VendrakeHome());
  } catch (const vdk::EVendrakeError& e) {
    std::fprintf(stderr, "vendrake: %s\n", e.what());
    return 2;
  }
  vdk::TLogindShutdown shutdown;
  form->SetShutdown(&shutdown);
  form->SetHooks(vdk::MainFormTools());
  QObject::connect(&session, &vdk::TSessionService::ActivateRequested, form.get(), [&form, &automation] {
    automation.StayAlive();  // the user started the program himself
    form->BringForward();
  });
  automation.Attach(form.get());
  if (given == vdk::TProgramSwitch::Automation) automation.EndWhenIdle();
  QObject::connect(form.get(), &vdk::TMainForm::Exited, &app, &QApplication::quit, Qt::QueuedConnection);
  QObject::connect(&terminations, &vdk::gui::TTerminationSignals::Received, form.get(),
                   [&form] { form->RequestExit(); });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, form.get(), [&form] { form->RequestExit(); });
  form->show();
  return app.exec();
}
