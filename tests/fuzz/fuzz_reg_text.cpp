// Settings store files from outside (hand-edited, damaged, exported on
// Windows): whatever parses must write back to a text that reads as the same
// tree and writes as the same bytes.

#include <cstdint>
#include <string_view>

#include "core/base/errors.h"
#include "platform/reg_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vdk::TRegTree tree;
  try {
    tree = vdk::ParseRegText(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const vdk::EFormatError&) {
    return 0;
  }
  const std::string text = vdk::FormatRegText(tree);
  const vdk::TRegTree again = vdk::ParseRegText(text);
  if (!(again == tree) || vdk::FormatRegText(again) != text) __builtin_trap();
  return 0;
}
