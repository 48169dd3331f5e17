#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace vdk::cli {

// The command line's machine-readable output keeps its fields in the order
// they are added.
using TJson = nlohmann::ordered_json;

// A text as a JSON string value. Texts are bytes as stored: valid UTF-8
// passes through, any other byte becomes the character of the same number
// (as Latin-1 reads it), so that nothing is lost and the output stays valid.
TJson JsonText(std::string_view text);
TJson JsonTexts(const std::vector<std::string>& texts);

}  // namespace vdk::cli
