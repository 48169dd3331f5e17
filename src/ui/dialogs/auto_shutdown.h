#pragma once

#include <functional>

class QWidget;

namespace vdk {

class TShutdown;

// What the automatic shutdown needs from the main window.
struct TAutoShutdownSteps {
  // How many tasks run now.
  std::function<int()> RunningCount;
  // The Exit sequence: every task stopped and saved, the log, the settings,
  // the add-image workers and the library.
  std::function<void()> ExitSequence;
};

// After a task finished, with AutoShutDown on and no task running: the
// countdown dialog. When it runs out and still no task runs (one may have
// started meanwhile), the Exit sequence runs, then the power-off request; a
// refused request is shown in an Error box. True when the power-off was
// requested.
bool OfferShutdown(QWidget* parent, bool autoShutDown, const TAutoShutdownSteps& steps, TShutdown& shutdown);

}  // namespace vdk
