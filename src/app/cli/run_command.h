#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vdk::cli {

// "vendrake-cli run URL|TASK.wrp [options]": options override the task's own
// for this run and are saved with it.
struct TRunOptions {
  std::string Target;
  std::optional<int> Depth;
  std::optional<int> TimeOut;
  std::vector<std::string> Masks;     // "ext[,folder]"; replace the task's masks
  std::vector<std::string> Excludes;  // file names added to the exclude list
  std::optional<int> MinSize;         // KB
  std::optional<int> MaxSize;         // KB
  bool NoSizeLimit = false;
  std::optional<std::string> SaveFolder;
  std::optional<std::string> Proxy;  // host:port
  std::optional<std::string> User;
  std::optional<std::string> PasswordFile;
  bool Library = false;           // catalogue saved pictures in imglib.db
  bool Log = false;               // log lines even on a terminal
  std::optional<int> Checkpoint;  // seconds between saves of the running task
};

int RunCommand(const TRunOptions& options);

// "vendrake-cli new NAME URL": a task file in the project folder.
int NewCommand(const std::string& name, const std::string& url);

}  // namespace vdk::cli
