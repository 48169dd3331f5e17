#include "ui/common/qt_synchronizer.h"

#include <QMetaObject>
#include <QThread>

namespace vdk {

TQtSynchronizer::TQtSynchronizer(QObject* context) : context_(context) {
  // Direct: the calls are dropped while the object is being destroyed, before
  // Qt throws its pending events away, and a worker never posts to it again.
  if (context) QObject::connect(context, &QObject::destroyed, Closer());
}

bool TQtSynchronizer::IsMainThread() const {
  const QObject* context = context_.data();
  return context != nullptr && QThread::currentThread() == context->thread();
}

bool TQtSynchronizer::Post(std::function<void()> fn) {
  QObject* context = context_.data();
  if (context == nullptr) return false;
  return QMetaObject::invokeMethod(context, std::move(fn), Qt::QueuedConnection);
}

}  // namespace vdk
