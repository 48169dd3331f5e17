#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "library/picture_size.h"

namespace vdk {

// The formats the collect tool copies, in the order of its format boxes.
inline constexpr std::array<std::string_view, 9> kCollectFormats = {
    ".gif", ".jpg", ".jpeg", ".tif", ".tiff", ".bmp", ".pcx", ".png", ".wmf",
};

// The choices behind the collect tool's "&Select", with the tool's defaults.
struct TCollectFilter {
  // One flag per entry of kCollectFormats.
  std::array<bool, kCollectFormats.size()> Formats{true, true, true, true, true, true, true, true, true};
  bool LimitImageSize = false;  // "Limited by images size"
  int MinWidth = 300;
  int MinHeight = 300;
  bool LimitFileSize = false;  // "Limited by files size"
  int MinKilobytes = 100;
};

// Whether "&Select" checks a listed file: its extension (any case) must be
// one of the checked formats; with the image-size limit, the picture must be
// at least as wide and as high as asked, where a file the library does not
// know counts as 0 x 0 and an undecodable one as -1 x -1; with the file-size
// limit, the kilobytes of its size text must be at least the minimum.
bool CollectSelects(const TCollectFilter& filter, std::string_view ext, std::string_view sizeText,
                    const std::optional<TPictureSize>& dimensions);

}  // namespace vdk
