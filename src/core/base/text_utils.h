#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vdk {

// Text helpers with the single-byte rules the stored files use: case folding
// touches ASCII letters only, and trimming drops blanks and control bytes.

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// True when the text holds a byte below 0x20 or 0x7F, which no URL may carry.
bool HasControlByte(std::string_view text);

// A decimal int32 with an optional sign and nothing else; nullopt otherwise.
std::optional<int> ParseInt32(std::string_view text);

}  // namespace vdk
