#pragma once

#include <stop_token>
#include <string>

namespace vdk {

class TImageLibrary;

// Catalogues one file: unless the library already holds the path, makes a
// record with the current local time, the file's size in whole 128-byte
// blocks and the decoded picture's width and height (-1 x -1 when it cannot
// be decoded) and adds it. Raises EFileError when the path is not a regular
// file that can be opened; nothing is added then. When stop is requested the
// decode is abandoned and nothing is added.
void AddImageToLibrary(TImageLibrary& library, const std::string& path, std::stop_token stop = {});

}  // namespace vdk
