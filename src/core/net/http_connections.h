#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vdk {

// The connections that one task's workers keep alive between their work
// items, so that the next item to the same host and port skips the TCP and
// TLS handshakes. A client made with the pool borrows one connection cache
// (a libcurl multi handle) for its life and gives it back when it is
// destroyed; nothing else carries over, since every client has its own easy
// handle with its own cookies, login state and options.
//
// - A connection idle for kMaxIdle is not used again: caches idle that long
//   are closed when the next client borrows one, and libcurl closes older
//   connections of a cache in use.
// - A cache whose client was cancelled is closed instead of kept, and so is
//   every cache given back after CloseAll.
// - CloseAll closes the idle caches at once; the borrowed ones close when
//   their clients give them back. The pool stays usable.
// - A connection that the server closed or that fails before the first byte
//   of the answer arrives is retried once on a new connection (libcurl does
//   this for every reused connection); one that fails later is not.
//
// Threads: every member may be called from any thread; a borrowed cache is
// used by its client's thread only.
class THttpConnections {
 public:
  static constexpr std::chrono::seconds kMaxIdle{10};
  // Connections one cache keeps: the start host's and a few others.
  static constexpr long kMaxPerCache = 4;

  THttpConnections() = default;
  ~THttpConnections();
  THttpConnections(const THttpConnections&) = delete;
  THttpConnections& operator=(const THttpConnections&) = delete;

  void CloseAll();

 private:
  friend class THttpClient;
  using TClock = std::chrono::steady_clock;
  // A borrowed cache, with the CloseAll count when it was borrowed.
  struct TLease {
    void* Multi = nullptr;
    std::uint64_t Generation = 0;
  };
  struct TIdle {
    void* Multi;
    TClock::time_point Since;
  };

  // A cache with its connections, or a new one. Raises EHttpError when
  // libcurl cannot make one.
  TLease Borrow();
  // Keeps the cache for the next client, or closes it when keep is false or
  // CloseAll was called since it was borrowed.
  void GiveBack(const TLease& lease, bool keep);
  static void Close(const std::vector<void*>& multis);

  std::mutex lock_;
  std::vector<TIdle> idle_;  // the most recently used last
  std::uint64_t generation_ = 0;
};

}  // namespace vdk
