#include "core/settings/memory_registry.h"

#include "core/base/errors.h"

namespace vdk {

bool TMemoryRegistry::OpenKey(std::string_view key, bool canCreate) {
  std::string path = NormalizeKeyPath(key);
  if (tree_.FindKey(path) == nullptr) {
    if (!canCreate) return false;
    Change({TRegChange::Kind::CreateKey, path});
  }
  current_ = std::move(path);
  return true;
}

std::vector<std::string> TMemoryRegistry::GetValueNames() const {
  std::vector<std::string> names;
  if (const TRegKey* key = tree_.FindKey(CurrentKey()))
    for (const TRegNamedValue& value : key->Values()) names.push_back(value.Name);
  return names;
}

std::optional<TRegValue> TMemoryRegistry::GetValue(std::string_view name) const {
  const TRegKey* key = tree_.FindKey(CurrentKey());
  const TRegValue* value = key ? key->Find(name) : nullptr;
  if (value == nullptr) return std::nullopt;
  return *value;
}

void TMemoryRegistry::PutValue(std::string_view name, const TRegValue& value) {
  Change({TRegChange::Kind::PutValue, CurrentKey(), std::string(name), value});
}

void TMemoryRegistry::DeleteValue(std::string_view name) {
  Change({TRegChange::Kind::DeleteValue, CurrentKey(), std::string(name)});
}

void TMemoryRegistry::DeleteKey(std::string_view key) { Change({TRegChange::Kind::DeleteKey, NormalizeKeyPath(key)}); }

const std::string& TMemoryRegistry::CurrentKey() const {
  if (!current_) throw ERegistryError("No settings key is open");
  return *current_;
}

}  // namespace vdk
