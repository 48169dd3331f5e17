#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace vdk {

struct TCallResult {
  bool Ok = false;  // the program ran and exited with 0, or the D-Bus call was answered
  QString Output;   // standard output, or the D-Bus reply as text
  QString Error;    // standard error, or the D-Bus error message
};

// The ways the desktop services reach the user's session: running a desktop
// tool, or calling a method on the session bus. Tests record the calls
// through a fake instead of changing the real desktop.
class TSessionCalls {
 public:
  virtual ~TSessionCalls() = default;
  virtual TCallResult Run(const QString& program, const QStringList& arguments) = 0;
  virtual TCallResult CallSessionBus(const QString& service, const QString& path, const QString& interface,
                                     const QString& method, const QString& argument) = 0;
};

// Runs the programs (waiting at most a few seconds for each) and makes
// real calls on the session bus.
std::unique_ptr<TSessionCalls> MakeSessionCalls();

}  // namespace vdk
