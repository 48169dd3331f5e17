#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace vdk::test {

struct CliResult {
  int code = -1;  // exit status; -1 when a signal ended the program
  std::string out;
  std::string err;
};

// vendrake-cli run as a child process with its own Vendrake home, its output
// captured in files of the home folder.
// A small file system (tmpfs) over a folder, seen by the program alone.
struct SmallDisk {
  std::string folder;  // must exist
  std::size_t bytes = 0;
};

class CliProcess {
 public:
  // fileSizeLimit caps every file the program writes (RLIMIT_FSIZE), as a
  // nearly full disk would. A small disk needs root (CAP_SYS_ADMIN); without
  // it the program exits with kNoSmallDisk before it starts.
  CliProcess(const std::vector<std::string>& args, const std::string& home,
             std::optional<std::size_t> fileSizeLimit = std::nullopt,
             const std::optional<SmallDisk>& smallDisk = std::nullopt);
  static constexpr int kNoSmallDisk = 126;
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  void Interrupt();  // Ctrl-C
  void Kill();       // SIGKILL: no chance to save anything
  CliResult Wait();

 private:
  pid_t pid_ = -1;
  std::string outPath_, errPath_;
};

CliResult RunCli(const std::vector<std::string>& args, const std::string& home,
                 std::optional<std::size_t> fileSizeLimit = std::nullopt);

}  // namespace vdk::test
