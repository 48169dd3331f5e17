#pragma once

#include <utility>
#include <vector>

namespace vdk {

// The rows (any order, duplicates allowed) as runs of neighbouring rows,
// first and last row of each, from the bottom run up: the order in which a
// model removes them without moving the rows still to be removed.
std::vector<std::pair<int, int>> RowRangesFromBottom(std::vector<int> rows);

}  // namespace vdk
