#pragma once

#include <array>

#include "library/saved_files.h"

namespace vdk {

// The sort actions of the downloaded-files list; By* name the column they
// sort by (name 0, type 1, size 2).
enum class TImagesSort { Unsorted, ByName, ByType, BySize };

enum class TSortArrow { None, Ascending, Descending };

// The checked sort action and the arrows of the three column headers, at
// most one of which shows an arrow.
class TImagesOrder {
 public:
  static constexpr int kColumns = 3;

  TImagesSort Sort() const { return sort_; }
  TSortArrow Arrow(int column) const { return arrows_.at(column); }
  // True when rows are kept in order: every sort action but Unsorted.
  bool AutoSort() const { return sort_ != TImagesSort::Unsorted; }

  // A sort action was chosen; the arrows stay as they are.
  void Choose(TImagesSort sort) { sort_ = sort; }
  // A header was clicked: its column's sort action is chosen, every other
  // column loses its arrow, and the clicked one goes from none or descending
  // to ascending, from ascending to descending.
  void ClickColumn(int column);

  // -1, 0 or 1 by the checked action: names or extensions as byte strings,
  // sizes by their kilobyte numbers; negated when the action's column shows
  // the descending arrow. Every two rows are equal while Unsorted.
  int Compare(const TSavedFile& a, const TSavedFile& b) const;

 private:
  TImagesSort sort_ = TImagesSort::Unsorted;
  std::array<TSortArrow, kColumns> arrows_{};
};

}  // namespace vdk
