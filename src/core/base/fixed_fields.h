#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vdk {

// Reading and writing the fields of the fixed-size binary records: text in
// NUL-terminated fixed-width byte fields, little-endian int32, one-byte flags
// and little-endian IEEE-754 doubles. Writers expect a zero-filled buffer.

// Writes at most width - 1 bytes of text followed by a NUL; a cut never
// splits a UTF-8 character.
void PutText(std::span<char> record, std::size_t offset, std::size_t width, std::string_view text);
// The text up to the first NUL or the end of the field.
std::string GetText(std::span<const char> record, std::size_t offset, std::size_t width);

void PutInt32(std::span<char> record, std::size_t offset, std::int32_t value);
std::int32_t GetInt32(std::span<const char> record, std::size_t offset);

void PutFlag(std::span<char> record, std::size_t offset, bool value);
bool GetFlag(std::span<const char> record, std::size_t offset);

void PutDouble(std::span<char> record, std::size_t offset, double value);
double GetDouble(std::span<const char> record, std::size_t offset);

}  // namespace vdk
