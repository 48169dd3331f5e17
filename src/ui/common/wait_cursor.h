#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace vdk {

// The hourglass while the GUI thread works on something the user asked for;
// the cursor comes back on every way out of the scope.
class TWaitCursor {
 public:
  TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace vdk
