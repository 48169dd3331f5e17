#include "core/model/task_input.h"

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"

namespace vdk {

std::string CompleteURL(std::string_view url) {
  const std::string lower = LowerCase(url);
  if (lower.find("http://") != std::string::npos) return std::string(url);
  if (LowerCase(Trim(url)).starts_with("https://")) return std::string(url);
  return "http://" + std::string(url);
}

bool LooksLikeURL(std::string_view text) { return LowerCase(Trim(text)).starts_with("http"); }

bool IsAcceptableTaskName(std::string_view name) {
  return !Trim(name).empty() && IsValidTaskName(name) && name.size() <= kMaxTaskName;
}

std::int32_t NumberFieldOr(std::string_view text, std::int32_t fallback) {
  return ParseInt32(Trim(text)).value_or(fallback);
}

}  // namespace vdk
