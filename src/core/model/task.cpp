#include "core/model/task.h"

#include <cstdio>
#include <random>

namespace vdk {

TTask::TTask() = default;

std::string NewGUID() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  std::uint64_t hi = engine(), lo = engine();
  hi = (hi & ~0xF000ULL) | 0x4000ULL;              // version 4
  lo = (lo & ~(0xC0ULL << 56)) | (0x80ULL << 56);  // RFC 4122 variant
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(hi >> 32),
                static_cast<unsigned>((hi >> 16) & 0xFFFF), static_cast<unsigned>(hi & 0xFFFF),
                static_cast<unsigned>(lo >> 48), static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFULL));
  return text;
}

}  // namespace vdk
