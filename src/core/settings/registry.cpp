#include "core/settings/registry.h"

#include <bit>

#include "core/base/errors.h"

namespace vdk {
namespace {

std::string LittleEndian(std::uint64_t value, int bytes) {
  std::string out(static_cast<std::size_t>(bytes), '\0');
  for (int i = 0; i < bytes; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::uint64_t FromLittleEndian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

[[noreturn]] void Fail(std::string_view name, std::string_view rule) {
  throw ERegistryError("Settings value \"" + std::string(name) + "\" " + std::string(rule));
}

}  // namespace

TRegValue TRegValue::OfString(std::string_view text) { return {TRegType::String, std::string(text)}; }

TRegValue TRegValue::OfDWord(std::uint32_t value) { return {TRegType::DWord, LittleEndian(value, 4)}; }

TRegValue TRegValue::OfBinary(std::string_view bytes) { return {TRegType::Binary, std::string(bytes)}; }

std::optional<TRegType> TRegistry::GetDataType(std::string_view name) const {
  const auto value = GetValue(name);
  if (!value) return std::nullopt;
  return value->Type;
}

std::int32_t TRegistry::ReadInteger(std::string_view name) const {
  const auto value = GetValue(name);
  if (!value) Fail(name, "is missing");
  if (value->Type != TRegType::DWord || value->Data.size() != 4) Fail(name, "is not a DWORD");
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(FromLittleEndian(value->Data)));
}

std::string TRegistry::ReadString(std::string_view name) const {
  const auto value = GetValue(name);
  if (!value) return {};
  if (value->Type != TRegType::String) Fail(name, "is not text");
  return value->Data;
}

std::string TRegistry::ReadBinaryData(std::string_view name) const {
  const auto value = GetValue(name);
  if (!value) Fail(name, "is missing");
  if (value->Type != TRegType::Binary) Fail(name, "is not binary");
  return value->Data;
}

TDateTime TRegistry::ReadDate(std::string_view name) const {
  const std::string bytes = ReadBinaryData(name);
  if (bytes.size() != sizeof(double)) Fail(name, "is not an 8-byte date");
  return std::bit_cast<double>(FromLittleEndian(bytes));
}

void TRegistry::WriteInteger(std::string_view name, std::int32_t value) {
  PutValue(name, TRegValue::OfDWord(static_cast<std::uint32_t>(value)));
}

void TRegistry::WriteString(std::string_view name, std::string_view text) { PutValue(name, TRegValue::OfString(text)); }

void TRegistry::WriteBinaryData(std::string_view name, std::string_view bytes) {
  PutValue(name, TRegValue::OfBinary(bytes));
}

void TRegistry::WriteDate(std::string_view name, TDateTime value) {
  WriteBinaryData(name, LittleEndian(std::bit_cast<std::uint64_t>(value), 8));
}

}  // namespace vdk
