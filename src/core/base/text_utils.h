#pragma once

#include <cstddef>
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

// The length of the longest prefix of at most max bytes that does not end
// inside a UTF-8 character: a cut through a well-formed multi-byte character
// moves back to its start. Bytes that are not UTF-8 are cut at max.
std::size_t Utf8CutPoint(std::string_view text, std::size_t max);

// A decimal int32 with an optional sign and nothing else; nullopt otherwise.
std::optional<int> ParseInt32(std::string_view text);

}  // namespace vdk
