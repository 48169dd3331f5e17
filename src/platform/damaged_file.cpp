#include "platform/damaged_file.h"

#include <cerrno>
#include <ctime>

#include "core/base/errors.h"
#include "core/base/path_utils.h"

namespace vdk {
namespace {

std::string LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char text[32];
  return std::string(text, std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &tm));
}

}  // namespace

std::string KeepDamagedFile(const std::string& path) {
  const std::string base = path + ".bad-" + LocalTimeStamp();
  for (int n = 0;; ++n) {
    const std::string target = n == 0 ? base : base + "-" + std::to_string(n);
    const int err = RenameNoReplace(path, target);
    if (err == 0) return target;
    if (err != EEXIST) throw EFileError("Cannot keep the damaged file aside as", target, err);
  }
}

}  // namespace vdk
