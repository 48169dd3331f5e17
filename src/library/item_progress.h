#pragma once

#include <functional>

namespace vdk {

// Called by a long run over files after each item, with the number done so
// far, on the thread that runs it.
using TItemProgress = std::function<void(int done)>;

}  // namespace vdk
