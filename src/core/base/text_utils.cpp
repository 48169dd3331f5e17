#include "core/base/text_utils.h"

#include <charconv>

namespace vdk {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The length of the UTF-8 sequence a lead byte starts; 0 for any other byte.
std::size_t SequenceLength(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool HasControlByte(std::string_view text) {
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return true;
  }
  return false;
}

std::size_t Utf8CutPoint(std::string_view text, std::size_t max) {
  if (text.size() <= max) return text.size();
  std::size_t start = max;
  for (int i = 0; i < 3 && start > 0 && IsContinuation(text[start]); ++i) --start;
  if (start == max) return max;
  const std::size_t length = SequenceLength(text[start]);
  if (length == 0 || start + length <= max) return max;
  for (std::size_t k = start + 1; k < start + length && k < text.size(); ++k)
    if (!IsContinuation(text[k])) return max;
  return start;
}

std::optional<int> ParseInt32(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace vdk
