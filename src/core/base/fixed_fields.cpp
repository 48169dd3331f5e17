#include "core/base/fixed_fields.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/base/text_utils.h"

namespace vdk {
namespace {

void PutLittle(std::span<char> record, std::size_t offset, std::uint64_t bits, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) record[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::uint64_t GetLittle(std::span<const char> record, std::size_t offset, std::size_t size) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < size; ++i)
    bits |= static_cast<std::uint64_t>(static_cast<unsigned char>(record[offset + i])) << (8 * i);
  return bits;
}

}  // namespace

void PutText(std::span<char> record, std::size_t offset, std::size_t width, std::string_view text) {
  const std::size_t n = Utf8CutPoint(text, width - 1);
  std::memcpy(record.data() + offset, text.data(), n);
  record[offset + n] = '\0';
}

std::string GetText(std::span<const char> record, std::size_t offset, std::size_t width) {
  const char* begin = record.data() + offset;
  const char* end = std::find(begin, begin + width, '\0');
  return std::string(begin, end);
}

void PutInt32(std::span<char> record, std::size_t offset, std::int32_t value) {
  PutLittle(record, offset, static_cast<std::uint32_t>(value), 4);
}

std::int32_t GetInt32(std::span<const char> record, std::size_t offset) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLittle(record, offset, 4)));
}

void PutFlag(std::span<char> record, std::size_t offset, bool value) { record[offset] = value ? 1 : 0; }

bool GetFlag(std::span<const char> record, std::size_t offset) { return record[offset] != 0; }

void PutDouble(std::span<char> record, std::size_t offset, double value) {
  PutLittle(record, offset, std::bit_cast<std::uint64_t>(value), 8);
}

double GetDouble(std::span<const char> record, std::size_t offset) {
  return std::bit_cast<double>(GetLittle(record, offset, 8));
}

}  // namespace vdk
