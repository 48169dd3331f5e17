// A run's hold on its task file, between objects of one process and between
// processes, a killed one included.

#include "core/model/task_file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/base/errors.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

TEST(TaskFileLock, ASecondRunOfTheSameFileIsRefusedUntilTheFirstEnds) {
  test::TempDir dir;
  const std::string task = dir / "gallery.wrp";
  EXPECT_EQ(TTaskFileLock::LockPath(task), dir / ".gallery.wrp.lock");
  EXPECT_FALSE(TTaskFileLock::IsBusy(task));
  {
    const auto first = TTaskFileLock::TryLock(task);
    ASSERT_TRUE(first);
    EXPECT_TRUE(TTaskFileLock::IsBusy(task));
    EXPECT_FALSE(TTaskFileLock::TryLock(task));
    EXPECT_TRUE(TTaskFileLock::IsBusy(task));  // asking took nothing
    EXPECT_TRUE(TTaskFileLock::TryLock(dir / "other.wrp"));
  }
  EXPECT_FALSE(TTaskFileLock::IsBusy(task));
  EXPECT_FALSE(test::FileExists(TTaskFileLock::LockPath(task)));
  EXPECT_TRUE(TTaskFileLock::TryLock(task));
}

// A run that was killed leaves its lock file behind, but not its lock.
TEST(TaskFileLock, AKilledHolderLeavesTheTaskFree) {
  test::TempDir dir;
  const std::string task = dir / "gallery.wrp";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const auto lock = TTaskFileLock::TryLock(task);
    const char held = lock ? 'y' : 'n';
    (void)::write(ready[1], &held, 1);
    ::pause();
    ::_exit(0);
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  EXPECT_EQ(held, 'y');
  EXPECT_TRUE(TTaskFileLock::IsBusy(task));
  EXPECT_FALSE(TTaskFileLock::TryLock(task));

  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_TRUE(test::FileExists(TTaskFileLock::LockPath(task)));
  EXPECT_FALSE(TTaskFileLock::IsBusy(task));
  EXPECT_TRUE(TTaskFileLock::TryLock(task));
}

TEST(TaskFileLock, AFolderThatCannotTakeTheLockFileRaises) {
  test::TempDir dir;
  test::WriteFile(dir / "plain", "");
  EXPECT_THROW(TTaskFileLock::TryLock(dir / "plain/gallery.wrp"), EFileError);
}

}  // namespace
}  // namespace vdk
