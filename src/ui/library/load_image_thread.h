#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <thread>
#include <vector>

#include "library/image_detail.h"

namespace vdk {

class TCancelToken;
class TImageLibrary;
class TSynchronizer;

// What the pacing thread fills; every call runs on the GUI thread.
class TLoadImageView {
 public:
  virtual ~TLoadImageView() = default;
  // A listing of count records begins.
  virtual void BeginListing(int count) = 0;
  // The next records in library order; index counts the records listed so far.
  virtual void AddRecords(const std::vector<TImageDetailPtr>& records, int index) = 0;
  // Every record is listed (never called after Stop).
  virtual void EndListing() = 0;
};

// The library window's pacing thread ("vdk-libload"): reads the library's
// records in order and hands them to the view in batches that grow from a
// screenful to a few thousand, waiting on the GUI thread for each, so the
// first rows show at once and the window stays usable while a large library
// is listed. The count is read once, at the start.
//
// Threads: made, stopped and destroyed on the GUI thread, never inside one of
// the view's calls. The thread reads only the library (whose lock it holds
// for one read at a time) and waits for nothing but its view calls.
class TLoadImageThread {
 public:
  static constexpr int kFirstBatch = 128;
  static constexpr int kLargestBatch = 4096;

  TLoadImageThread(const TImageLibrary& library, TLoadImageView& view, std::shared_ptr<TSynchronizer> synchronizer);
  ~TLoadImageThread();
  TLoadImageThread(const TLoadImageThread&) = delete;
  TLoadImageThread& operator=(const TLoadImageThread&) = delete;

  // Ends the listing at once: the view gets no further call, and the thread,
  // which is then at most between two reads, has returned.
  void Stop();

 private:
  void Execute(const std::stop_token& stop);
  bool Synchronize(std::function<void()> fn);

  const TImageLibrary& library_;
  TLoadImageView& view_;
  const std::shared_ptr<TSynchronizer> synchronizer_;
  const std::shared_ptr<TCancelToken> token_;
  std::jthread thread_;  // last: starts once everything it uses exists
};

}  // namespace vdk
