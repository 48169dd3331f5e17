#include "library/library_merge.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "support/temp_dir.h"

namespace vdk {
namespace {

constexpr int kMerges = 60;

TImageDetailPtr Record(const std::string& path) {
  auto detail = std::make_shared<TImageDetail>();
  detail->FileName = path;
  detail->FileSize = 128;
  detail->Width = detail->Height = 1;
  return detail;
}

// A process adding its records to the library file one merge at a time.
pid_t StartAdder(const std::string& library, const std::string& prefix) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  int code = 0;
  for (int i = 0; i < kMerges && code == 0; ++i) {
    TImageLibrary additions;
    additions.Add(Record(prefix + std::to_string(i) + ".jpg"));
    try {
      if (MergeIntoLibraryFile(library, additions) != 1) code = 1;
    } catch (...) {
      code = 2;
    }
  }
  ::_exit(code);
}

int ExitCode(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(MergeIntoLibraryFile, TwoProcessesAddingAtOnceLoseNoRecord) {
  test::TempDir dir;
  const std::string library = dir / "imglib.db";
  const pid_t first = StartAdder(library, "/pics/first/");
  const pid_t second = StartAdder(library, "/pics/second/");
  EXPECT_EQ(ExitCode(first), 0);
  EXPECT_EQ(ExitCode(second), 0);

  TImageLibrary merged;
  merged.LoadFromFile(library);
  std::set<std::string> names;
  for (int i = 0; i < merged.Count(); ++i) names.insert(merged.Items(i)->FileName);
  EXPECT_EQ(merged.Count(), 2 * kMerges);
  EXPECT_EQ(names.size(), 2u * kMerges);
  EXPECT_TRUE(names.contains("/pics/first/0.jpg") && names.contains("/pics/second/59.jpg"));
}

}  // namespace
}  // namespace vdk
