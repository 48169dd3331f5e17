// vendrake: the desktop program. One per user: a second start brings the
// running window forward and ends.

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/gui/termination_signals.h"
#include "core/base/errors.h"
#include "platform/desktop/logind_shutdown.h"
#include "platform/registry_file.h"
#include "platform/vendrake_folders.h"
#include "ui/mainwindow/loading_form.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/main_form_tools.h"
#include "ui/mainwindow/product.h"
#include "ui/mainwindow/session_service.h"

namespace {

void BringForward(QWidget& window) {
  window.show();
  window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window.raise();
  window.activateWindow();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vendrake"));
  QApplication::setDesktopFileName(QStringLiteral("org.vendrake.Vendrake"));
  // The window hides to the notification area; only Exit ends the program.
  QApplication::setQuitOnLastWindowClosed(false);

  vdk::TSessionService session;
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
  QObject::connect(&session, &vdk::TSessionService::ActivateRequested, form.get(), [&form] { BringForward(*form); });
  QObject::connect(form.get(), &vdk::TMainForm::Exited, &app, &QApplication::quit, Qt::QueuedConnection);
  vdk::gui::TTerminationSignals terminations;
  QObject::connect(&terminations, &vdk::gui::TTerminationSignals::Received, form.get(),
                   [&form] { form->RequestExit(); });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, form.get(), [&form] { form->RequestExit(); });
  form->show();
  return app.exec();
}
