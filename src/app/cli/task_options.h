#pragma once

#include <string>

#include "app/cli/run_command.h"
#include "core/model/task.h"

namespace vdk::cli {

// Raises ECliError (kExitUsage) unless the URL is an http:// or https://
// address with a host.
void RequireCrawlableURL(const std::string& url);

// Applies the run's option overrides to the task. Bad values (a mask without
// extension, a proxy without port, sizes out of order, an unreadable password
// file) raise ECliError.
void ApplyRunOptions(const TRunOptions& options, TTask& task);

// Refuses a save folder that could not be made or written: its nearest
// existing part must be a writable folder. Nothing is created (the workers
// make the folders they save into). Raises ECliError (kExitFiles).
void CheckSaveFolder(const std::string& folder);

}  // namespace vdk::cli
