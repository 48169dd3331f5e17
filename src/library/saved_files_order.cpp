#include "library/saved_files_order.h"

namespace vdk {
namespace {

template <typename T>
int Sign(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int ColumnOf(TImagesSort sort) { return static_cast<int>(sort) - 1; }

}  // namespace

void TImagesOrder::ClickColumn(int column) {
  if (column < 0 || column >= kColumns) return;
  sort_ = static_cast<TImagesSort>(column + 1);
  for (int other = 0; other < kColumns; ++other)
    if (other != column) arrows_[other] = TSortArrow::None;
  arrows_[column] = arrows_[column] == TSortArrow::Ascending ? TSortArrow::Descending : TSortArrow::Ascending;
}

int TImagesOrder::Compare(const TSavedFile& a, const TSavedFile& b) const {
  int result = 0;
  switch (sort_) {
    case TImagesSort::Unsorted:
      return 0;
    case TImagesSort::ByName:
      result = Sign(a.Caption, b.Caption);  // std::string compares bytes as unsigned
      break;
    case TImagesSort::ByType:
      result = Sign(a.Ext, b.Ext);
      break;
    case TImagesSort::BySize:
      result = Sign(KilobytesOf(a.SizeText), KilobytesOf(b.SizeText));
      break;
  }
  return arrows_[ColumnOf(sort_)] == TSortArrow::Descending ? -result : result;
}

}  // namespace vdk
