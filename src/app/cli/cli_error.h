#pragma once

#include <stdexcept>
#include <string>

namespace vdk::cli {

// Exit codes of vendrake-cli.
enum ExitCode : int {
  kExitDone = 0,
  kExitUsage = 1,     // bad arguments or input (an invalid URL)
  kExitFiles = 2,     // a task file, folder or settings problem
  kExitMismatch = 3,  // "library verify" found records that do not match their files
  kExitNetwork = 4,   // a server could not be read: the project server, or a run's start URL
  kExitBusy = 5,      // the task is running in another process
  kExitInterrupted = 130,
};

// A failure reported as one line on stderr with its exit code.
class ECliError : public std::runtime_error {
 public:
  ECliError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

}  // namespace vdk::cli
