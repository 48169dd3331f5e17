// vendrake-cli meets damaged files of its own: each is kept aside with a
// warning that names it, and the command goes on afresh.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "cli_process.h"
#include "support/temp_dir.h"

namespace vdk::test {
namespace {

class CliDamagedFilesTest : public ::testing::Test {
 protected:
  std::vector<std::string> KeptAside(const std::string& name) const {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(home.Path()))
      if (entry.path().filename().string().starts_with(name + ".bad-")) paths.push_back(entry.path());
    return paths;
  }

  TempDir home;
};

TEST_F(CliDamagedFilesTest, ADamagedLibraryIsKeptAsideWithAWarning) {
  const std::string damaged = "Vendrake Images Library Fil\x01" + std::string(300, '\0');
  WriteFile(home / "imglib.db", damaged);
  const CliResult list = RunCli({"library", "list"}, home.Path());
  EXPECT_EQ(list.code, 0) << list.err;
  EXPECT_NE(list.err.find("image library " + home / "imglib.db"), std::string::npos) << list.err;
  EXPECT_NE(list.out.find("0 pictures"), std::string::npos) << list.out;
  const auto kept = KeptAside("imglib.db");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_NE(list.err.find(kept[0]), std::string::npos) << list.err;
  EXPECT_EQ(ReadFile(kept[0]), damaged);
}

}  // namespace
}  // namespace vdk::test
