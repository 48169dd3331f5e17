#include "core/run/partial_files.h"

#include <gtest/gtest.h>
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

}  // namespace
}  // namespace vdk
