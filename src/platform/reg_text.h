#pragma once

#include <string>
#include <string_view>

#include "core/settings/reg_tree.h"

namespace vdk {

// The settings store's file text: the Windows registry export format
// ("Windows Registry Editor Version 5.00", one "[HKEY_CURRENT_USER\...]"
// section per key, one "name"=data line per value) in bytes as they are.
// docs/formats/registry.md describes it.

// The text of a tree: keys in tree order, values in enumeration order.
std::string FormatRegText(const TRegTree& tree);

// Reads a text written by FormatRegText or exported by the Windows registry
// editor (CR LF line ends, ";" comments, hex data continued over lines).
// Raises EFormatError, naming the line, for anything else.
TRegTree ParseRegText(std::string_view text);

}  // namespace vdk
