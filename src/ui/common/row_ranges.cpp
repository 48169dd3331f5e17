#include "ui/common/row_ranges.h"

#include <algorithm>

namespace vdk {

std::vector<std::pair<int, int>> RowRangesFromBottom(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<std::pair<int, int>> ranges;
  for (auto last = rows.rbegin(); last != rows.rend();) {
    auto first = last;
    while (std::next(first) != rows.rend() && *std::next(first) == *first - 1) ++first;
    ranges.emplace_back(*first, *last);
    last = std::next(first);
  }
  return ranges;
}

}  // namespace vdk
