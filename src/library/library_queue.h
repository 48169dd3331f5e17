#pragma once

#include "core/run/views.h"
#include "library/add_image_thread_list.h"

namespace vdk {

// Hands the files a download saves to the add-image workers, which catalogue
// them in the image library. Queue returns at once; a full or stopped queue
// drops the path.
class TLibraryQueue : public TImageQueue {
 public:
  explicit TLibraryQueue(TAddImageThreadList& workers) : workers_(workers) {}
  void Queue(const std::string& path) override { workers_.Queue(path); }

 private:
  TAddImageThreadList& workers_;
};

}  // namespace vdk
