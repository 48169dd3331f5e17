#include "library/collect_rule.h"

#include <algorithm>

#include "core/base/text_utils.h"
#include "library/saved_files.h"

namespace vdk {

bool CollectSelects(const TCollectFilter& filter, std::string_view ext, std::string_view sizeText,
                    const std::optional<TPictureSize>& dimensions) {
  const std::string lower = LowerCase(ext);
  const auto format = std::find(kCollectFormats.begin(), kCollectFormats.end(), lower);
  if (format == kCollectFormats.end() || !filter.Formats[std::size_t(format - kCollectFormats.begin())]) return false;
  if (filter.LimitImageSize) {
    const TPictureSize size = dimensions.value_or(TPictureSize{0, 0});
    if (size.Width < filter.MinWidth || size.Height < filter.MinHeight) return false;
  }
  if (filter.LimitFileSize && KilobytesOf(sizeText) < filter.MinKilobytes) return false;
  return true;
}

}  // namespace vdk
