#include "core/net/http_connections.h"

#include <curl/curl.h>

#include <algorithm>

#include "core/net/http_client.h"

namespace vdk {

THttpConnections::~THttpConnections() { CloseAll(); }

void THttpConnections::CloseAll() {
  std::vector<void*> closing;
  {
    std::lock_guard lock(lock_);
    ++generation_;
    for (const TIdle& idle : idle_) closing.push_back(idle.Multi);
    idle_.clear();
  }
  Close(closing);
}

THttpConnections::TLease THttpConnections::Borrow() {
  std::vector<void*> stale;
  TLease lease;
  {
    std::lock_guard lock(lock_);
    const auto oldest = TClock::now() - kMaxIdle;
    // Given back in time order: the stale ones come first.
    const auto fresh =
        std::find_if(idle_.begin(), idle_.end(), [&](const TIdle& idle) { return idle.Since >= oldest; });
    for (auto it = idle_.begin(); it != fresh; ++it) stale.push_back(it->Multi);
    idle_.erase(idle_.begin(), fresh);
    lease.Generation = generation_;
    if (!idle_.empty()) {
      lease.Multi = idle_.back().Multi;
      idle_.pop_back();
    }
  }
  Close(stale);
  if (lease.Multi) return lease;
  CURLM* multi = curl_multi_init();
  if (!multi) throw EHttpError("Cannot create a libcurl handle");
  curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, kMaxPerCache);
  lease.Multi = multi;
  return lease;
}

void THttpConnections::GiveBack(const TLease& lease, bool keep) {
  {
    std::lock_guard lock(lock_);
    if (keep && lease.Generation == generation_) {
      idle_.push_back({lease.Multi, TClock::now()});
      return;
    }
  }
  Close({lease.Multi});
}

void THttpConnections::Close(const std::vector<void*>& multis) {
  for (void* multi : multis) curl_multi_cleanup(multi);
}

}  // namespace vdk
