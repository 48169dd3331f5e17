// vendrake-cli meets damaged files of its own: each is kept aside with a
// warning that names it, and the command goes on afresh.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "cli_process.h"
#include "core/model/task.h"
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

TEST_F(CliDamagedFilesTest, ADamagedSettingsStoreIsKeptAsideWithAWarning) {
  const std::string damaged = ReadFile(std::string(VENDRAKE_TEST_DATA) + "registry_truncated.reg");
  WriteFile(home / "registry.reg", damaged);
  const CliResult show = RunCli({"settings", "show"}, home.Path());
  EXPECT_EQ(show.code, 0) << show.err;
  EXPECT_NE(show.err.find("settings store " + home / "registry.reg"), std::string::npos) << show.err;
  const auto kept = KeptAside("registry.reg");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_NE(show.err.find(kept[0]), std::string::npos) << show.err;
  EXPECT_EQ(ReadFile(kept[0]), damaged);
}

// What a user typed or a damaged task file holds gets a message that says
// what to do, with the exit code of its kind.
TEST_F(CliDamagedFilesTest, BadFoldersAndDamagedTaskFilesAreNamed) {
  const CliResult empty = RunCli({"run", "http://127.0.0.1:9/", "--save-folder", ""}, home.Path());
  EXPECT_EQ(empty.code, 1);
  EXPECT_NE(empty.err.find("The save folder is empty"), std::string::npos) << empty.err;

  std::filesystem::create_symlink(home / "nowhere", home / "dangling");
  const CliResult dangling = RunCli({"run", "http://127.0.0.1:9/", "--save-folder", home / "dangling"}, home.Path());
  EXPECT_EQ(dangling.code, 2);
  EXPECT_NE(dangling.err.find("is a link to a folder that does not exist"), std::string::npos) << dangling.err;

  // Size limits that no file can pass, as a garbage options block gives.
  TTask task;
  task.URL.SetURI("http://127.0.0.1:9/");
  task.Options.EnableFileLimit = true;
  task.Options.FileMinSize = 900;
  task.Options.FileMaxSize = 10;
  task.SaveToFile(home / "garbage.wrp");
  const CliResult garbage = RunCli({"run", home / "garbage.wrp"}, home.Path());
  EXPECT_EQ(garbage.code, 2);
  EXPECT_NE(garbage.err.find("\"" + home / "garbage.wrp" + "\" is damaged"), std::string::npos) << garbage.err;
}

}  // namespace
}  // namespace vdk::test
