#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/model/reg_options.h"

namespace vdk {

struct TProxyServer {
  std::string Address;
  std::int32_t Port = 80;

  bool operator==(const TProxyServer&) const = default;
};

// The proxy of the default options. The desktop program and the command-line
// runner set it from the settings (again whenever the defaults change); a
// request whose own options do not turn a proxy on goes through it. A task
// file keeps its own proxy fields: the default one is never written into it.
// Thread-safe: the value is guarded by a mutex of its own, and each HTTP
// client reads it once, when it is created.
void SetDefaultProxy(const TRegOptions& defaults);
std::optional<TProxyServer> DefaultProxy();

// The proxy a request with these options goes through: the options' own when
// they turn it on, else the default proxy, else none.
std::optional<TProxyServer> ProxyFor(const TRegOptions& options);

}  // namespace vdk
