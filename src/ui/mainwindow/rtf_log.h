#pragma once

#include <string>
#include <vector>

#include "core/base/ole_date.h"

namespace vdk {

// The log as a rich-text (RTF 1.x) document: one paragraph per line in a
// fixed-pitch font. Text is UTF-8; characters beyond ASCII are written as
// Unicode escapes, bytes that are not UTF-8 as hexadecimal escapes.
std::string LogAsRtf(const std::vector<std::string>& lines);

// The log file's name for a moment: the date as a decimal number (days since
// 30 December 1899, the time of day as the fraction) in general format with
// at most 15 significant digits and the given decimal separator, then ".rtf".
std::string LogFileName(TDateTime now, char decimalPoint);

// Writes the log into the folder under LogFileName and returns the path.
// Raises EFileError when it cannot be written.
std::string SaveLogFile(const std::string& folder, const std::vector<std::string>& lines, TDateTime now,
                        char decimalPoint);

}  // namespace vdk
