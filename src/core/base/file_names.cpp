#include "core/base/file_names.h"

#include <algorithm>

#include "core/base/path_utils.h"

namespace vdk {
namespace {

// NAME_MAX less the partial suffix and a counter such as "[1234567]".
constexpr std::size_t kMaxName = 255 - 4 - 12;

__extension__ using Int128 = __int128;

}  // namespace

std::string SafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return "_";
  std::string out(name);
  std::replace_if(
      out.begin(), out.end(), [](char c) { return c == '/' || static_cast<unsigned char>(c) < 0x20; }, '_');
  if (out.size() <= kMaxName) return out;
  std::string ext(ExtractFileExt(out));
  if (ext.size() > kMaxName / 2) ext.clear();
  return out.substr(0, kMaxName - ext.size()) + ext;
}

std::string SizeText(std::int64_t length) { return length <= 0 ? "---" : std::to_string(length); }

std::string PercentText(std::int64_t count, std::int64_t length) {
  if (length <= 0) return "---";
  const Int128 scaled = static_cast<Int128>(count) * 100;
  auto percent = static_cast<std::int64_t>(scaled / length);
  const Int128 twiceRest = (scaled % length) * 2;
  if (twiceRest > length || (twiceRest == length && percent % 2 != 0)) ++percent;
  return std::to_string(percent) + "%";
}

}  // namespace vdk
