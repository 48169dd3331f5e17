#include "import/project_rules.h"

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

constexpr std::size_t kMaxFileNameBytes = 255;

bool IsDotName(std::string_view name) { return name == "." || name == ".."; }

bool HoldsAny(std::string_view text, std::string_view chars) { return text.find_first_of(chars) != text.npos; }

}  // namespace

bool IsValidListName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxFileNameBytes && !IsDotName(name) && !HoldsAny(name, "/\\") &&
         !HasControlByte(name);
}

bool IsValidProjectName(std::string_view name) {
  return !Trim(name).empty() && IsValidTaskName(name) && !HasControlByte(name);
}

bool IsValidCategory(std::string_view category) {
  return !Trim(category).empty() && category.size() <= kMaxFileNameBytes && !IsDotName(category) &&
         !HoldsAny(category, "/\\:") && !HasControlByte(category);
}

bool IsValidProjectURL(std::string_view url) {
  const std::string lower = LowerCase(url);
  std::string_view rest = lower;
  if (rest.starts_with("http://"))
    rest.remove_prefix(7);
  else if (rest.starts_with("https://"))
    rest.remove_prefix(8);
  else
    return false;
  return !rest.empty() && rest.front() != '/' && !HoldsAny(url, " ") && !HasControlByte(url);
}

bool IsImportable(const TProjectItem& project) {
  return IsValidProjectName(project.Name) && IsValidCategory(project.Category) && IsValidProjectURL(project.URL);
}

}  // namespace vdk
