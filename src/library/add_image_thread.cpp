#include "library/add_image_thread.h"

#include <pthread.h>

#include <string>

#include "library/add_image_thread_list.h"

namespace vdk {

TAddImageThread::TAddImageThread(TAddImageThreadList& list, std::stop_token stop)
    : list_(list), thread_([this, stop] { Execute(stop); }) {}

void TAddImageThread::Execute(std::stop_token stop) {
  ::pthread_setname_np(::pthread_self(), "vdk-addimage");
  std::string path;
  while (list_.Take(path, stop)) {
    // A file that cannot be catalogued ends only its own job, quietly.
    try {
      list_.work_(path, stop);
    } catch (...) {
    }
    list_.Finished();
  }
}

}  // namespace vdk
