#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "library/item_progress.h"
#include "library/picture_size.h"
#include "library/saved_files.h"

namespace vdk {

class TImageLibrary;

// One row of the collect tool: a listed entry of the task's "Saved" folder
// with its dimensions when the image library knows its path.
struct TCollectRow {
  TSavedFile File;
  std::optional<TPictureSize> Dimensions;
};

// The collect tool's listing: every entry of the folder as ListSavedFolder
// lists it, with the library's width and height for the paths it knows.
// stop is checked between rows; a stopped listing returns the rows so far.
std::vector<TCollectRow> ListCollectRows(const std::string& savedFolder, const TImageLibrary& library,
                                         std::stop_token stop = {}, const TItemProgress& progress = {});

}  // namespace vdk
