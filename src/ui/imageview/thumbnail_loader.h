#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <stop_token>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vdk {

// Decodes thumbnails on a fixed, small number of threads ("vdk-thumbs",
// nice 10), whatever the number of cells: each request decodes its file
// scaled to the cell (JPEG at the reduced size directly) through the guarded
// readers, and only that small copy is kept. Requests are served in the
// order Prioritize last gave (the visible cells), then in the order they
// came. Cancelling a request drops it from the queue or abandons its decode
// at the next read; a result for a request that was cancelled or replaced
// meanwhile is never delivered.
//
// Threads: Request, Cancel, Prioritize and the Loaded signal belong to the
// GUI thread; the workers share only the queue, guarded by one lock that is
// never held while decoding.
class TThumbnailLoader : public QObject {
  Q_OBJECT
 public:
  using Key = std::uint64_t;

  explicit TThumbnailLoader(int threads = DefaultThreads(), QObject* parent = nullptr);
  // Abandons the decodes under way and joins the workers.
  ~TThumbnailLoader() override;

  // Queues a decode of path scaled to fit size, replacing an earlier request
  // of the same key.
  void Request(Key key, const QString& path, QSize size);
  void Cancel(Key key);
  void CancelAll();
  // Serves these keys first, in this order.
  void Prioritize(const std::vector<Key>& keys);

  int ThreadCount() const { return int(threads_.size()); }
  // Requests waiting or being decoded.
  int Outstanding() const;
  // Decodes begun since the loader was made.
  int Started() const { return started_.load(); }

  // All processors, at most four.
  static int DefaultThreads();

 signals:
  // On the GUI thread: the thumbnail (null when the file could not be
  // decoded) and the size of the picture it was made from.
  void Loaded(vdk::TThumbnailLoader::Key key, const QImage& image, QSize pictureSize);

 private:
  struct TJob {
    Key key;
    std::uint64_t serial;
    QString path;
    QSize size;
  };

  void Work(std::stop_token stop);
  void Deliver(Key key, std::uint64_t serial, const QImage& image, QSize pictureSize);

  mutable std::mutex lock_;
  std::condition_variable_any available_;
  std::list<TJob> queue_;
  std::unordered_map<Key, std::list<TJob>::iterator> queued_;
  std::unordered_map<Key, std::stop_source> running_;  // by key, while decoding
  std::uint64_t nextSerial_ = 0;
  std::atomic<int> started_ = 0;
  // GUI thread only: the serial each live request expects.
  std::unordered_map<Key, std::uint64_t> live_;
  std::vector<std::jthread> threads_;  // last: started once the rest exists
};

}  // namespace vdk
