#pragma once

#include <string_view>

#include "import/project_item.h"

namespace vdk {

// What an import accepts from a project server. The server is not trusted:
// its names become file and folder names and its URLs start crawls, so
// anything that could leave the project or download folders, hide in a
// listing or start something other than a web crawl is refused.

// A project-list file name from the index: not empty, at most 255 bytes, not
// "." or "..", without "/", "\" or control bytes.
bool IsValidListName(std::string_view name);
// A task name: not blank, a valid task name (no "/", ".", ":" and the other
// characters IsValidTaskName refuses) and without control bytes.
bool IsValidProjectName(std::string_view name);
// A category folder name: not blank, not "." or "..", without "/", "\", ":"
// or control bytes, at most 255 bytes.
bool IsValidCategory(std::string_view category);
// A start URL: http:// or https:// (any case) with a host, without blanks or
// control bytes.
bool IsValidProjectURL(std::string_view url);

// All of the above for one project.
bool IsImportable(const TProjectItem& project);

}  // namespace vdk
