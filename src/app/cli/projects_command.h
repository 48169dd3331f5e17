#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vdk::cli {

// "vendrake-cli projects list [--server S]": the project server's lists and
// the projects in them that have not been imported yet.
int ProjectsListCommand(const std::optional<std::string>& server);
// "vendrake-cli projects import NAME... | --all [--server S]": imports the
// named projects (or every project offered) as tasks into their category
// folders and remembers them as imported.
int ProjectsImportCommand(const std::vector<std::string>& names, bool all, const std::optional<std::string>& server);
// "vendrake-cli projects server [S]": shows or sets the ProjectServer setting.
int ProjectsServerCommand(const std::optional<std::string>& server);

}  // namespace vdk::cli
