#pragma once

#include <string>
#include <vector>

namespace vdk {

// The registration switches of the desktop program, in any letter case after
// "-", "--" or "/": "REGSERVER", "UNREGSERVER", and "AUTOMATION" or
// "EMBEDDING" (started by the session bus for a browser request).
enum class TProgramSwitch { None, RegServer, UnregServer, Automation };

// The first of those switches among the arguments (the program's name left
// out); other arguments are ignored.
TProgramSwitch FindProgramSwitch(const std::vector<std::string>& arguments);

}  // namespace vdk
