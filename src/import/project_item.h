#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vdk {

// One record of a project list on the project server: a ready-made task (its
// name and start URL) and the task-tree category folder it belongs in.
// Threads: a file thread fills and marks the items of its list before it hands
// them to the main thread; from then on only the main thread touches them.
struct TProjectItem {
  static constexpr std::size_t kRecordSize = 604;
  static constexpr std::size_t kFieldSize = 200;

  std::string Category;
  std::int32_t Number = 0;  // carried with the item, not used by the import
  std::string Name;
  std::string URL;
  // True when a task of this name has been imported before (not stored).
  bool Exists = false;

  // Reads one record: 4 bytes of Number, then 200 bytes each of Name, URL and
  // Category. Returns the number of bytes read; a record cut short keeps what
  // was read, the fields it did not reach stay empty.
  std::size_t ReadFromStream(std::istream& in);
};

using TProjectItemPtr = std::shared_ptr<TProjectItem>;

// The projects of one list in file order. Copies share the items.
class TProjectItems {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const TProjectItemPtr& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  void Add(TProjectItemPtr item) { items_.push_back(std::move(item)); }
  void Clear() { items_.clear(); }

  // Index of the first item whose Name equals name exactly (letter case
  // counts), or -1.
  int IndexOfName(std::string_view name) const;
  // Clear, then one item per record up to the end of the data; a trailing
  // partial record is still an item.
  void LoadFromStream(std::istream& in);

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<TProjectItemPtr> items_;
};

}  // namespace vdk
