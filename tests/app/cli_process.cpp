#include "cli_process.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/temp_dir.h"

extern char** environ;

namespace vdk::test {
namespace {

std::vector<std::string> Environment(const std::string& home) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (!entry.starts_with("VENDRAKE_HOME=")) env.push_back(entry);
  }
  env.push_back("VENDRAKE_HOME=" + home);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (auto& text : texts) out.push_back(text.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& home,
                       std::optional<std::size_t> fileSizeLimit, const std::optional<SmallDisk>& smallDisk)
    : outPath_(home + ".cli-out"), errPath_(home + ".cli-err") {
  // Everything the child needs is prepared before fork: after it, only
  // async-signal-safe calls until exec.
  std::vector<std::string> argv{VENDRAKE_CLI};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> env = Environment(home);
  std::vector<char*> argvp = Pointers(argv), envp = Pointers(env);
  const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (out < 0 || err < 0) throw std::runtime_error("cannot open the output files");
  const std::string diskOptions = smallDisk ? "size=" + std::to_string(smallDisk->bytes) : "";
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (fileSizeLimit) {
      ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
      const rlimit limit{*fileSizeLimit, *fileSizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    // The mount lives in a mount namespace of the child's own, so it goes
    // away with the child whatever happens to the test.
    if (smallDisk &&
        (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
         ::mount("tmpfs", smallDisk->folder.c_str(), "tmpfs", 0, diskOptions.c_str()) != 0))
      ::_exit(kNoSmallDisk);
    ::execve(argvp[0], argvp.data(), envp.data());
    ::_exit(127);
  }
  ::close(out);
  ::close(err);
  if (pid_ < 0) throw std::runtime_error("fork failed");
}

CliProcess::~CliProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void CliProcess::Interrupt() { ::kill(pid_, SIGINT); }
void CliProcess::Kill() { ::kill(pid_, SIGKILL); }

CliResult CliProcess::Wait() {
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(outPath_), ReadFile(errPath_)};
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& home,
                 std::optional<std::size_t> fileSizeLimit) {
  return CliProcess(args, home, fileSizeLimit).Wait();
}

}  // namespace vdk::test
