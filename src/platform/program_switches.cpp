#include "platform/program_switches.h"

#include <strings.h>

namespace vdk {
namespace {

TProgramSwitch SwitchOf(const std::string& argument) {
  std::string::size_type start = 0;
  if (argument.starts_with("--"))
    start = 2;
  else if (argument.starts_with("-") || argument.starts_with("/"))
    start = 1;
  else
    return TProgramSwitch::None;
  const char* name = argument.c_str() + start;
  if (::strcasecmp(name, "regserver") == 0) return TProgramSwitch::RegServer;
  if (::strcasecmp(name, "unregserver") == 0) return TProgramSwitch::UnregServer;
  if (::strcasecmp(name, "automation") == 0 || ::strcasecmp(name, "embedding") == 0) return TProgramSwitch::Automation;
  return TProgramSwitch::None;
}

}  // namespace

TProgramSwitch FindProgramSwitch(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments)
    if (const TProgramSwitch found = SwitchOf(argument); found != TProgramSwitch::None) return found;
  return TProgramSwitch::None;
}

}  // namespace vdk
