#include "core/settings/reg_tree.h"

#include <algorithm>

#include "core/base/errors.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// The separator ranks below every other byte, so "a\b" sorts before "a-b".
int PathRank(char c) { return c == '\\' ? -1 : static_cast<unsigned char>(c); }

}  // namespace

const TRegValue* TRegKey::Find(std::string_view name) const {
  const auto it = index_.find(LowerCase(name));
  return it == index_.end() ? nullptr : &values_[it->second].Value;
}

void TRegKey::Put(std::string_view name, const TRegValue& value) {
  if (HasLineBreak(name)) throw ERegistryError("A settings value name cannot hold a line break");
  const auto [it, added] = index_.try_emplace(LowerCase(name), values_.size());
  if (added) {
    values_.push_back({std::string(name), value});
  } else {
    values_[it->second].Value = value;
  }
}

void TRegKey::Delete(std::string_view name) {
  const auto it = index_.find(LowerCase(name));
  if (it == index_.end()) return;
  const std::size_t position = it->second;
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(position));
  index_.erase(it);
  for (auto& entry : index_)
    if (entry.second > position) --entry.second;
}

bool TRegPathOrder::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return PathRank(x) < PathRank(y); });
}

const TRegKey* TRegTree::FindKey(std::string_view path) const {
  const auto it = keys_.find(LowerCase(path));
  return it == keys_.end() ? nullptr : &it->second;
}

TRegKey* TRegTree::FindKey(std::string_view path) {
  const auto it = keys_.find(LowerCase(path));
  return it == keys_.end() ? nullptr : &it->second;
}

TRegKey& TRegTree::CreateKey(std::string_view path) {
  // Parents first, so that each key keeps the spelling it was created with.
  for (std::size_t slash = path.find('\\'); slash != std::string_view::npos; slash = path.find('\\', slash + 1)) {
    const std::string_view parent = path.substr(0, slash);
    keys_.try_emplace(LowerCase(parent), std::string(parent));
  }
  return keys_.try_emplace(LowerCase(path), std::string(path)).first->second;
}

void TRegTree::DeleteKey(std::string_view path) {
  const std::string key = LowerCase(path);
  const std::string below = key.empty() ? key : key + '\\';
  auto it = keys_.lower_bound(key);
  while (it != keys_.end() && (it->first == key || it->first.starts_with(below))) it = keys_.erase(it);
}

std::string NormalizeKeyPath(std::string_view path) {
  if (HasLineBreak(path)) throw ERegistryError("A settings key name cannot hold a line break");
  std::string out;
  std::size_t depth = 0;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) {
      if (!out.empty()) out += '\\';
      out.append(path.substr(start, end - start));
      if (++depth > kMaxKeyDepth || out.size() > kMaxKeyPathLength)
        throw ERegistryError("A settings key path may have at most " + std::to_string(kMaxKeyDepth) + " levels and " +
                             std::to_string(kMaxKeyPathLength) + " bytes");
    }
    start = end + 1;
  }
  return out;
}

void TRegChange::ApplyTo(TRegTree& tree) const {
  switch (What) {
    case Kind::CreateKey:
      tree.CreateKey(Key);
      break;
    case Kind::DeleteKey:
      tree.DeleteKey(Key);
      break;
    case Kind::PutValue:
      tree.CreateKey(Key).Put(Name, Value);
      break;
    case Kind::DeleteValue:
      if (TRegKey* key = tree.FindKey(Key)) key->Delete(Name);
      break;
  }
}

}  // namespace vdk
