#pragma once

#include <string>

namespace vdk::cli {

// "vendrake-cli show TASK.wrp [--json] [--items]".
int ShowCommand(const std::string& path, bool json, bool items);
// "vendrake-cli list": the project folder's tasks as a tree.
int ListCommand();
// "vendrake-cli settings show".
int SettingsShowCommand();

}  // namespace vdk::cli
