#include "import/project_item.h"

#include <array>
#include <istream>

#include "core/base/fixed_fields.h"

namespace vdk {
namespace {

constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kURLOffset = kNameOffset + TProjectItem::kFieldSize;
constexpr std::size_t kCategoryOffset = kURLOffset + TProjectItem::kFieldSize;
static_assert(kCategoryOffset + TProjectItem::kFieldSize == TProjectItem::kRecordSize);

}  // namespace

std::size_t TProjectItem::ReadFromStream(std::istream& in) {
  // Bytes the data does not reach stay zero, so a cut field ends where the
  // data ends and the fields after it read empty.
  std::array<char, kRecordSize> record{};
  in.read(record.data(), record.size());
  const auto count = static_cast<std::size_t>(in.gcount());
  if (count == 0) return 0;
  Number = GetInt32(record, 0);
  Name = GetText(record, kNameOffset, kFieldSize);
  URL = GetText(record, kURLOffset, kFieldSize);
  Category = GetText(record, kCategoryOffset, kFieldSize);
  return count;
}

int TProjectItems::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Name == name) return static_cast<int>(i);
  return -1;
}

void TProjectItems::LoadFromStream(std::istream& in) {
  Clear();
  while (true) {
    auto item = std::make_shared<TProjectItem>();
    if (item->ReadFromStream(in) == 0) break;
    Add(std::move(item));
  }
}

}  // namespace vdk
