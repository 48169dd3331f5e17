#include "ui/imageview/thumbnail_loader.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "library/picture_reader.h"

namespace vdk {
namespace {

constexpr int kNice = 10;

}  // namespace

int TThumbnailLoader::DefaultThreads() { return int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u)); }

TThumbnailLoader::TThumbnailLoader(int threads, QObject* parent) : QObject(parent) {
  qRegisterMetaType<vdk::TThumbnailLoader::Key>("vdk::TThumbnailLoader::Key");
  for (int i = 0; i < std::max(threads, 1); ++i)
    threads_.emplace_back([this](std::stop_token stop) {
      ::pthread_setname_np(::pthread_self(), "vdk-thumbs");
      ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kNice);
      Work(std::move(stop));
    });
}

TThumbnailLoader::~TThumbnailLoader() {
  {
    std::lock_guard guard(lock_);
    for (auto& [key, source] : running_) source.request_stop();
  }
  for (std::jthread& thread : threads_) thread.request_stop();
  available_.notify_all();
  threads_.clear();
}

void TThumbnailLoader::Request(Key key, const QString& path, QSize size) {
  Cancel(key);
  {
    std::lock_guard guard(lock_);
    const std::uint64_t serial = ++nextSerial_;
    live_[key] = serial;
    queued_[key] = queue_.insert(queue_.end(), TJob{key, serial, path, size});
  }
  available_.notify_one();
}

void TThumbnailLoader::Cancel(Key key) {
  live_.erase(key);
  std::lock_guard guard(lock_);
  if (const auto queued = queued_.find(key); queued != queued_.end()) {
    queue_.erase(queued->second);
    queued_.erase(queued);
  }
  if (const auto running = running_.find(key); running != running_.end()) running->second.request_stop();
}

void TThumbnailLoader::CancelAll() {
  live_.clear();
  std::lock_guard guard(lock_);
  queue_.clear();
  queued_.clear();
  for (auto& [key, source] : running_) source.request_stop();
}

void TThumbnailLoader::Prioritize(const std::vector<Key>& keys) {
  std::lock_guard guard(lock_);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key)
    if (const auto queued = queued_.find(*key); queued != queued_.end())
      queue_.splice(queue_.begin(), queue_, queued->second);
}

int TThumbnailLoader::Outstanding() const {
  std::lock_guard guard(lock_);
  return int(queue_.size() + running_.size());
}

void TThumbnailLoader::Work(std::stop_token stop) {
  for (;;) {
    TJob job;
    std::stop_source cancel;
    {
      std::unique_lock guard(lock_);
      if (!available_.wait(guard, stop, [this] { return !queue_.empty(); })) return;
      job = std::move(queue_.front());
      queue_.pop_front();
      queued_.erase(job.key);
      running_.insert_or_assign(job.key, cancel);
    }
    ++started_;
    TReadOptions options;
    options.Bounding = job.size;
    options.Stop = cancel.get_token();
    const std::string path = job.path.toStdString();
    TDecodedPicture picture = ReadPicture(path, DecoderFor(path), options);
    {
      std::lock_guard guard(lock_);
      // A newer request of the same key may have started meanwhile.
      if (const auto running = running_.find(job.key);
          running != running_.end() && running->second.get_token() == cancel.get_token())
        running_.erase(running);
    }
    if (cancel.stop_requested() || stop.stop_requested()) continue;
    QMetaObject::invokeMethod(
        this,
        [this, key = job.key, serial = job.serial, picture = std::move(picture)] {
          Deliver(key, serial, picture.Image, picture.OriginalSize);
        },
        Qt::QueuedConnection);
  }
}

void TThumbnailLoader::Deliver(Key key, std::uint64_t serial, const QImage& image, QSize pictureSize) {
  const auto live = live_.find(key);
  if (live == live_.end() || live->second != serial) return;
  live_.erase(live);
  emit Loaded(key, image, pictureSize);
}

}  // namespace vdk
