#include "ui/imageview/build_in_job.h"

#include <pthread.h>

#include "core/base/errors.h"
#include "library/add_image.h"
#include "library/image_library.h"

namespace vdk {

TBuildInJob::TBuildInJob(TImageLibrary& library, QStringList paths, QObject* parent)
    : QObject(parent), library_(library), paths_(std::move(paths)), thread_([this](std::stop_token stop) {
        ::pthread_setname_np(::pthread_self(), "vdk-buildin");
        Run(std::move(stop));
      }) {}

TBuildInJob::~TBuildInJob() {
  thread_.request_stop();
  thread_.join();
}

void TBuildInJob::Run(std::stop_token stop) {
  int added = 0;
  const int total = Total();
  for (int i = 0; i < total && !stop.stop_requested(); ++i) {
    const std::string path = paths_.at(i).toStdString();
    try {
      const bool known = library_.FindByName(path) != nullptr;
      AddImageToLibrary(library_, path, stop);
      if (!known && library_.FindByName(path)) ++added;
    } catch (const EVendrakeError&) {
      // A file deleted or moved since the listing, or a folder: passed over.
    }
    // Queued: the calls of a destroyed job are dropped with it.
    QMetaObject::invokeMethod(
        this, [this, i, total] { emit Progress(i + 1, total); }, Qt::QueuedConnection);
  }
  if (!stop.stop_requested())
    QMetaObject::invokeMethod(
        this, [this, added] { emit Finished(added); }, Qt::QueuedConnection);
}

}  // namespace vdk
