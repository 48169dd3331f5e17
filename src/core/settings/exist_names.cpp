#include "core/settings/exist_names.h"

#include <unordered_map>

#include "core/base/errors.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

constexpr std::string_view kExistNamesKey = "\\Software\\Vendrake\\ExistPrjs";

void OpenNamesKey(TRegistry& registry) {
  if (!registry.OpenKey(kExistNamesKey, true))
    throw ERegistryError("Cannot open settings key " + std::string(kExistNamesKey));
}

}  // namespace

TExistNames::TExistNames(TRegistry& registry) : registry_(registry) { Load(); }

void TExistNames::Load() {
  OpenNamesKey(registry_);
  Names.clear();
  for (const std::string& name : registry_.GetValueNames()) {
    const auto value = registry_.GetValue(name);
    if (value && value->Type == TRegType::String) Names.push_back(value->Data);
  }
}

void TExistNames::RemoveKnown(std::vector<std::string>& list) const {
  // How many entries each known name (folded to lower case) still removes;
  // one pass in list order then keeps the first-match-per-name rule in
  // linear time.
  std::unordered_map<std::string, std::size_t> pending;
  for (const std::string& name : Names) ++pending[LowerCase(name)];
  std::vector<std::string> kept;
  for (std::string& entry : list) {
    const auto it = pending.find(LowerCase(entry));
    if (it != pending.end() && it->second > 0) {
      --it->second;
    } else {
      kept.push_back(std::move(entry));
    }
  }
  list = std::move(kept);
}

void TExistNames::Save(const std::vector<std::string>& newNames) {
  Load();
  Names.insert(Names.end(), newNames.begin(), newNames.end());
  for (std::size_t i = 0; i < Names.size(); ++i) registry_.WriteString(std::to_string(i), Names[i]);
  registry_.Flush();
}

void TExistNames::Forget(std::string_view name) {
  OpenNamesKey(registry_);
  for (const std::string& valueName : registry_.GetValueNames()) {
    const auto value = registry_.GetValue(valueName);
    if (value && value->Type == TRegType::String && value->Data == name) registry_.DeleteValue(valueName);
  }
  registry_.Flush();
  std::erase(Names, std::string(name));
}

}  // namespace vdk
