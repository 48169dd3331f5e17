#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vdk {

// Names for saved pages and files, which come from URL documents chosen by
// the site. A name is used as one path component inside a mask folder:
// "", "." and ".." become "_", "/" and bytes below 0x20 become "_", and a
// name too long for the file system (with room for a "[N]" counter and the
// partial suffix) is cut before its extension.
std::string SafeFileName(std::string_view name);

// The progress cells of a work-item row: the content length in decimal and
// count / length as a percentage rounded half to even with "%", or "---"
// for both when the length is not known.
std::string SizeText(std::int64_t length);
std::string PercentText(std::int64_t count, std::int64_t length);

}  // namespace vdk
