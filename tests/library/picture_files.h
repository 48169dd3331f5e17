#pragma once

#include <string>

namespace vdk::test {

// The bytes of a w x h picture in one of Qt's writable formats ("png",
// "jpeg", "bmp", ...), a colour gradient so that compressed formats have
// real data to cut.
std::string EncodePicture(const char* format, int width, int height);

// The bytes of a fixture file of tests/data.
std::string Fixture(const std::string& name);

}  // namespace vdk::test
