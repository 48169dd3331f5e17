#pragma once

#include <optional>
#include <string>

#include "core/settings/reg_tree.h"
#include "core/settings/registry.h"

namespace vdk {

// A store held in memory only, for one thread: the behaviour every store
// shares. The file-backed store builds on it; tests use it as it is.
class TMemoryRegistry : public TRegistry {
 public:
  bool OpenKey(std::string_view key, bool canCreate) override;
  std::vector<std::string> GetValueNames() const override;
  std::optional<TRegValue> GetValue(std::string_view name) const override;
  void PutValue(std::string_view name, const TRegValue& value) override;
  void DeleteValue(std::string_view name) override;
  void DeleteKey(std::string_view key) override;
  void Flush() override {}

  const TRegTree& Tree() const { return tree_; }

 protected:
  // Every change goes through here; a store that keeps a journal records it.
  virtual void Change(const TRegChange& change) { change.ApplyTo(tree_); }

  TRegTree tree_;

 private:
  // Raises ERegistryError when no key has been opened.
  const std::string& CurrentKey() const;

  std::optional<std::string> current_;
};

}  // namespace vdk
