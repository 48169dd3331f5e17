#include "core/net/default_proxy.h"

#include <mutex>

namespace vdk {
namespace {

std::mutex& ProxyLock() {
  static std::mutex lock;
  return lock;
}

std::optional<TProxyServer>& Current() {
  static std::optional<TProxyServer> proxy;
  return proxy;
}

std::optional<TProxyServer> OwnProxy(const TRegOptions& options) {
  if (!options.UseProxyServer) return std::nullopt;
  return TProxyServer{options.ProxyServerAddr, options.ProxyServerPort};
}

}  // namespace

void SetDefaultProxy(const TRegOptions& defaults) {
  std::optional<TProxyServer> proxy = OwnProxy(defaults);
  const std::lock_guard guard(ProxyLock());
  Current() = std::move(proxy);
}

std::optional<TProxyServer> DefaultProxy() {
  const std::lock_guard guard(ProxyLock());
  return Current();
}

std::optional<TProxyServer> ProxyFor(const TRegOptions& options) {
  if (auto own = OwnProxy(options)) return own;
  return DefaultProxy();
}

}  // namespace vdk
