#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ole_date.h"

namespace vdk {

// Value types, numbered as the Windows registry numbers them. Other numbers
// may occur in a store written elsewhere; they are kept, never interpreted.
enum class TRegType : std::uint32_t { String = 1, Binary = 3, DWord = 4 };

// One typed value: text bytes without a terminator (String), four
// little-endian bytes (DWord) or raw bytes (Binary and other types).
struct TRegValue {
  TRegType Type = TRegType::String;
  std::string Data;

  bool operator==(const TRegValue&) const = default;

  static TRegValue OfString(std::string_view text);
  static TRegValue OfDWord(std::uint32_t value);
  static TRegValue OfBinary(std::string_view bytes);
};

// The per-user settings store: keys addressed by absolute paths below the
// current user's root ("\Software\Vendrake\Window"; the leading backslash may
// be left out), each holding named, typed values. Key and value names compare
// without regard to ASCII letter case and keep the case they were created
// with. Values enumerate in the order they were first written.
//
// An implementation keeps the open-key state of one user (one thread). The
// Windows registry fits behind it as it stands; other systems use a file.
// Changes may be held back until Flush, which makes them durable and visible
// to other processes.
class TRegistry {
 public:
  virtual ~TRegistry() = default;

  // Makes the key current. A missing key is created (with its parents) when
  // canCreate is set; otherwise the result is false and nothing changes.
  virtual bool OpenKey(std::string_view key, bool canCreate) = 0;
  // Names of the current key's values in enumeration order.
  virtual std::vector<std::string> GetValueNames() const = 0;
  virtual std::optional<TRegValue> GetValue(std::string_view name) const = 0;
  // Creates or overwrites a value of the current key; an overwritten value
  // keeps its place in the enumeration order.
  virtual void PutValue(std::string_view name, const TRegValue& value) = 0;
  virtual void DeleteValue(std::string_view name) = 0;
  // Deletes a key by absolute path with its values and every key below it;
  // nothing happens when it is missing.
  virtual void DeleteKey(std::string_view key) = 0;
  // Writes every change made so far. Raises EFileError when the store
  // cannot be written.
  virtual void Flush() = 0;

  // Typed access to the current key, with the reading rules of the settings:
  // numbers and flags must be DWORD values, text reads empty when missing but
  // must otherwise be text, dates must be binary values of exactly 8 bytes
  // (IEEE-754 little-endian). A value that breaks its rule raises
  // ERegistryError.
  bool ValueExists(std::string_view name) const { return GetValue(name).has_value(); }
  std::optional<TRegType> GetDataType(std::string_view name) const;
  std::int32_t ReadInteger(std::string_view name) const;
  bool ReadBool(std::string_view name) const { return ReadInteger(name) != 0; }
  std::string ReadString(std::string_view name) const;
  std::string ReadBinaryData(std::string_view name) const;
  TDateTime ReadDate(std::string_view name) const;

  void WriteInteger(std::string_view name, std::int32_t value);
  void WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }
  void WriteString(std::string_view name, std::string_view text);
  void WriteBinaryData(std::string_view name, std::string_view bytes);
  void WriteDate(std::string_view name, TDateTime value);
};

}  // namespace vdk
