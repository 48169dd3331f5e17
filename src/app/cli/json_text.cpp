#include "app/cli/json_text.h"

namespace vdk::cli {
namespace {

struct TLead {
  std::size_t Length;
  unsigned char Low, High;  // the range of the second byte
};

// What a first byte starts (Length 0: nothing valid). The second byte's
// range keeps out overlong forms, surrogates and code points past U+10FFFF.
TLead LeadOf(unsigned char b) {
  if (b < 0x80) return {1, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const TLead lead = LeadOf(static_cast<unsigned char>(text[i]));
  if (lead.Length == 0 || i + lead.Length > text.size()) return 0;
  if (lead.Length == 1) return 1;
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if (second < lead.Low || second > lead.High) return 0;
  for (std::size_t k = 2; k < lead.Length; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  return lead.Length;
}

}  // namespace

TJson JsonText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t n = Utf8Length(text, i); n != 0) {
      out.append(text.substr(i, n));
      i += n;
      continue;
    }
    const auto b = static_cast<unsigned char>(text[i++]);
    out += static_cast<char>(0xC0 | (b >> 6));
    out += static_cast<char>(0x80 | (b & 0x3F));
  }
  return TJson(std::move(out));
}

TJson JsonTexts(const std::vector<std::string>& texts) {
  TJson list = TJson::array();
  for (const std::string& text : texts) list.push_back(JsonText(text));
  return list;
}

}  // namespace vdk::cli
