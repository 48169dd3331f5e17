#pragma once

#include <QObject>
#include <QPointer>

#include "core/run/synchronize.h"

namespace vdk {

// Hands worker calls to the GUI thread through Qt's event loop: a queued
// invocation on a context object of that thread, which the worker waits for
// (or stops waiting for when it is stopped). On the GUI thread itself a call
// runs directly. Once the context object is gone, the synchronizer closes:
// workers waiting for a call are released at once and later calls are
// dropped.
class TQtSynchronizer : public TSynchronizer {
 public:
  // context lives on the GUI thread (by default the application object).
  explicit TQtSynchronizer(QObject* context);

  bool IsMainThread() const override;

 protected:
  bool Post(std::function<void()> fn) override;

 private:
  QPointer<QObject> context_;
};

}  // namespace vdk
