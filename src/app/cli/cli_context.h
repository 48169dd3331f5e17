#pragma once

#include <memory>
#include <string>

#include "core/model/task.h"
#include "core/settings/reg_settings.h"

namespace vdk::cli {

// What every command shares: the user's settings (read from the same store as
// the desktop window) and the Vendrake home.
struct TCliContext {
  std::string Home;  // ends with "/"
  std::unique_ptr<TRegSettings> Settings;

  const TRegOptions& Defaults() const { return Settings->Options; }
  std::string ProjectFolder() const { return Settings->Options.ProjectPath; }
  std::string LibraryFile() const { return Home + "imglib.db"; }
};

// Loads the settings, creating the default folders on a first start. Raises
// ECliError (kExitFiles) when the store or the folders cannot be used.
TCliContext LoadContext();

// Tells the user on stderr that a damaged file ("the image library") was
// kept aside and a fresh one started.
void WarnKeptAside(const std::string& what, const std::string& path, const std::string& keptAs);

// Reads a task file; a missing, unreadable or truncated file raises ECliError
// (kExitFiles) with the reason.
std::shared_ptr<TTask> LoadTaskFile(const std::string& path);

}  // namespace vdk::cli
