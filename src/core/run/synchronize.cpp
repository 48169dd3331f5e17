#include "core/run/synchronize.h"

namespace vdk {

bool TSynchronizer::Synchronize(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn) {
  if (IsMainThread()) {
    if (token->Cancelled()) return false;
    fn();
    return true;
  }
  // The flag lives in shared state: a stopped worker stops waiting while the
  // call may still sit in the main thread's queue.
  auto done = std::make_shared<bool>(false);
  Post([token, done, fn = std::move(fn)] {
    if (token->Cancelled()) return;
    fn();
    token->Notify([&] { *done = true; });
  });
  return token->Wait([&] { return *done; });
}

void TSynchronizer::Queue(const std::shared_ptr<TCancelToken>& token, std::function<void()> fn) {
  Post([token, fn = std::move(fn)] {
    if (!token->Cancelled()) fn();
  });
}

}  // namespace vdk
