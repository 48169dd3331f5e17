#include "ui/common/qt_synchronizer.h"

#include <QMetaObject>
#include <QThread>

namespace vdk {

TQtSynchronizer::TQtSynchronizer(QObject* context) : context_(context) {}

bool TQtSynchronizer::IsMainThread() const {
  const QObject* context = context_.data();
  return context != nullptr && QThread::currentThread() == context->thread();
}

void TQtSynchronizer::Post(std::function<void()> fn) {
  QObject* context = context_.data();
  if (context == nullptr) return;
  QMetaObject::invokeMethod(context, std::move(fn), Qt::QueuedConnection);
}

}  // namespace vdk
