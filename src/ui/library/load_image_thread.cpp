#include "ui/library/load_image_thread.h"

#include <pthread.h>

#include <algorithm>
#include <stdexcept>

#include "core/run/synchronize.h"
#include "library/image_library.h"

namespace vdk {

TLoadImageThread::TLoadImageThread(const TImageLibrary& library, TLoadImageView& view,
                                   std::shared_ptr<TSynchronizer> synchronizer)
    : library_(library),
      view_(view),
      synchronizer_(std::move(synchronizer)),
      token_(std::make_shared<TCancelToken>()),
      thread_([this](std::stop_token stop) {
        ::pthread_setname_np(::pthread_self(), "vdk-libload");
        Execute(stop);
      }) {}

TLoadImageThread::~TLoadImageThread() { Stop(); }

void TLoadImageThread::Stop() {
  token_->Cancel();
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

bool TLoadImageThread::Synchronize(std::function<void()> fn) {
  return synchronizer_->Synchronize(token_, std::move(fn));
}

void TLoadImageThread::Execute(const std::stop_token& stop) {
  const int count = library_.Count();
  if (!Synchronize([this, count] { view_.BeginListing(count); })) return;
  std::vector<TImageDetailPtr> batch;
  int batchSize = kFirstBatch;
  for (int index = 0; index < count && !stop.stop_requested();) {
    batch.clear();
    try {
      for (const int end = std::min(count, index + batchSize); index < end; ++index)
        batch.push_back(library_.Items(index));
    } catch (const std::out_of_range&) {
      index = count;  // the library shrank meanwhile: list what was read
    }
    if (!Synchronize([this, &batch, index] { view_.AddRecords(batch, index); })) return;
    batchSize = std::min(batchSize * 2, kLargestBatch);
  }
  if (!stop.stop_requested()) Synchronize([this] { view_.EndListing(); });
}

}  // namespace vdk
