#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/registry.h"

namespace vdk {

// The names of the projects imported so far, kept in the store's key
// "\Software\Vendrake\ExistPrjs" as text values "0", "1", ... so that an
// import does not offer them again.
// Threads: after construction the import workers share it read-only.
class TExistNames {
 public:
  // Loads Names: the data of every text value of the key (created when
  // missing), in the store's order. Values of other types are not names.
  explicit TExistNames(TRegistry& registry);

  std::vector<std::string> Names;

  // For each known name, removes the first entry of list equal to it without
  // regard to ASCII letter case.
  void RemoveKnown(std::vector<std::string>& list) const;
  // Writes the known names as values "0" to "n - 1" and newNames as "n"
  // onwards, and adds newNames to Names. The known names are read again
  // first, so names another process saved in the meantime are kept.
  void Save(const std::vector<std::string>& newNames);
  // Deletes every value whose data equals name exactly, so that the project
  // can be imported again.
  void Forget(std::string_view name);

 private:
  void Load();

  TRegistry& registry_;
};

}  // namespace vdk
