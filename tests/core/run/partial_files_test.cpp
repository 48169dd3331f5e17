#include "core/run/partial_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace vdk {
namespace {

std::string folder;
std::string closedPartial;

// What a detached worker may still do while the process exits, after the
// static objects have been destroyed: clean up after a stop, then save.
void LateWorker() {
  DeleteLeftoverPartials(folder);  // must leave what this process owns
  const bool kept = test::FileExists(closedPartial);
  const ReservedFile file = CreatePartialFile(folder + "late.gif");
  ::close(file.Fd);
  ReleasePartialFile(file.Temporary);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  std::_Exit(kept ? 0 : 1);
}

TEST(PartialFilesDeathTest, TheRegistryOutlivesTheStaticObjects) {
  // A fresh process, in which the registry is made only after the exit
  // handler is registered: an ordinary static would be destroyed before it runs.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  test::TempDir dir;
  folder = dir.Path();
  EXPECT_EXIT(
      {
        std::atexit(LateWorker);
        const ReservedFile file = CreatePartialFile(folder + "early.gif");
        ::close(file.Fd);  // written and closed, not renamed yet: still this process's
        closedPartial = file.Temporary;
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

// Another process cleaning up the shared folder over and over must never take
// a partial file from under its writer, however their steps interleave.
TEST(PartialFiles, AnotherProcessCleaningUpNeverTakesAFileBeingWritten) {
  test::TempDir dir;
  const std::string shared = dir.Path();
  const pid_t cleaner = ::fork();
  ASSERT_GE(cleaner, 0);
  if (cleaner == 0) {
    for (;;) DeleteLeftoverPartials(shared);
  }
  int lost = 0;
  for (int n = 0; n < 3000; ++n) {
    const ReservedFile file = CreatePartialFile(shared + "picture.gif");
    lost += ::write(file.Fd, "GIF89a", 6) != 6 || !test::FileExists(file.Temporary);
    ::unlink(file.Temporary.c_str());  // as a failed download's file, before it is unlocked
    ::close(file.Fd);
    ReleasePartialFile(file.Temporary);
  }
  ::kill(cleaner, SIGKILL);
  ::waitpid(cleaner, nullptr, 0);
  EXPECT_EQ(lost, 0);
}

}  // namespace
}  // namespace vdk
