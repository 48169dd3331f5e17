// Project lists and indexes come from a server nobody vouches for: whatever
// the bytes, every record becomes an item with fields no wider than their 200 bytes,
// and only projects the import accepts are ever offered.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/settings/exist_names.h"
#include "core/settings/memory_registry.h"
#include "import/import_file_thread.h"
#include "import/project_rules.h"
#include "import/project_update_ctrl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::istringstream in(bytes);
  vdk::TProjectItems items;
  items.LoadFromStream(in);
  const std::size_t records = (size + vdk::TProjectItem::kRecordSize - 1) / vdk::TProjectItem::kRecordSize;
  if (static_cast<std::size_t>(items.Count()) != records) __builtin_trap();
  for (const auto& item : items)
    if (item->Name.size() > vdk::TProjectItem::kFieldSize || item->URL.size() > vdk::TProjectItem::kFieldSize ||
        item->Category.size() > vdk::TProjectItem::kFieldSize)
      __builtin_trap();

  vdk::TMemoryRegistry store;
  const vdk::TExistNames known(store);
  for (const auto& offered : vdk::MarkNewProjects(items, known))
    if (!vdk::IsImportable(*offered) || offered->Exists) __builtin_trap();

  std::vector<std::string> names;
  vdk::TProjectUpdateCtrl::AppendIndexLines(bytes, names);
  for (const auto& name : names)
    if (name.find('\n') != std::string::npos) __builtin_trap();
  return 0;
}
