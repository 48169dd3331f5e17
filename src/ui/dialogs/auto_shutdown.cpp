#include "ui/dialogs/auto_shutdown.h"

#include "platform/desktop/shutdown.h"
#include "ui/common/dialog_runner.h"
#include "ui/common/message_boxes.h"
#include "ui/dialogs/shutdown_form.h"

namespace vdk {

bool OfferShutdown(QWidget* parent, bool autoShutDown, const TAutoShutdownSteps& steps, TShutdown& shutdown) {
  if (!autoShutDown || steps.RunningCount() > 0) return false;
  {
    TShutdownForm countdown(parent);
    if (RunDialog(countdown) != QDialog::Accepted) return false;
  }
  if (steps.RunningCount() > 0) return false;
  steps.ExitSequence();
  const TShutdownResult result = shutdown.PowerOff();
  if (!result.Requested) ShowError(nullptr, QStringLiteral("The computer cannot be shut down: %1").arg(result.Error));
  return result.Requested;
}

}  // namespace vdk
