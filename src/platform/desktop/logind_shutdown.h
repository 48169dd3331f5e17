#pragma once

#include <QDBusMessage>

#include "platform/desktop/shutdown.h"

namespace vdk {

// The method call that asks logind to power the machine off: PowerOff on
// org.freedesktop.login1.Manager, interactive (logind asks the user for
// authorisation when its policy wants it). Only builds the message.
QDBusMessage LogindPowerOffCall();

// Powers the machine off through logind on the system bus. Constructed only
// by the desktop program's entry point, never in a test.
class TLogindShutdown : public TShutdown {
 public:
  TShutdownResult PowerOff() override;
};

}  // namespace vdk
