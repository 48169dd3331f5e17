#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/settings/registry.h"

namespace vdk {

struct TRegNamedValue {
  std::string Name;
  TRegValue Value;

  bool operator==(const TRegNamedValue&) const = default;
};

// One key of a store: its path as first created (components joined by "\",
// no leading one; the root is "") and its values in enumeration order.
class TRegKey {
 public:
  explicit TRegKey(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  const std::vector<TRegNamedValue>& Values() const { return values_; }
  const TRegValue* Find(std::string_view name) const;
  // Raises ERegistryError for a name holding a line break, which the store's
  // text cannot carry.
  void Put(std::string_view name, const TRegValue& value);
  void Delete(std::string_view name);

  bool operator==(const TRegKey& other) const { return path_ == other.path_ && values_ == other.values_; }

 private:
  std::string path_;
  std::vector<TRegNamedValue> values_;
  std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> position in values_
};

// Sorts key paths so that every key comes right before the keys below it and
// siblings follow by name without regard to case.
struct TRegPathOrder {
  bool operator()(const std::string& a, const std::string& b) const;
};

// The keys and values of one user's store, in memory.
class TRegTree {
 public:
  const TRegKey* FindKey(std::string_view path) const;
  TRegKey* FindKey(std::string_view path);
  // The key at path, created with its missing parents (the root excepted).
  TRegKey& CreateKey(std::string_view path);
  // Removes the key and every key below it.
  void DeleteKey(std::string_view path);

  // Keys in the order of TRegPathOrder, by lower-case path.
  const std::map<std::string, TRegKey, TRegPathOrder>& Keys() const { return keys_; }

  bool operator==(const TRegTree&) const = default;

 private:
  std::map<std::string, TRegKey, TRegPathOrder> keys_;
};

// Bounds of a key path. Every key brings its parents with it, so a path of
// n levels costs n keys of up to its length each: without bounds a 40 KB line
// would cost gigabytes. Vendrake's own keys are five levels deep at most.
inline constexpr std::size_t kMaxKeyDepth = 16;
inline constexpr std::size_t kMaxKeyPathLength = 512;

// The canonical form of a key path: components joined by "\", without the
// empty ones a leading, trailing or doubled "\" makes. Raises ERegistryError
// for a path holding a line break, of more than kMaxKeyDepth components or
// longer than kMaxKeyPathLength bytes.
std::string NormalizeKeyPath(std::string_view path);

// One change made through a store, recorded so that it can be applied again
// to a newer copy of the stored tree.
struct TRegChange {
  enum class Kind { CreateKey, DeleteKey, PutValue, DeleteValue };

  Kind What = Kind::CreateKey;
  std::string Key;  // normalised
  std::string Name;
  TRegValue Value;

  void ApplyTo(TRegTree& tree) const;
};

}  // namespace vdk
