#include "core/model/task_factory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/errors.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(TaskFactory, NameFromURLNumbersANameWhoseTaskFileExists) {
  TempDir dir;
  const std::string url = "http://www.site.com/cats/?page=1";
  EXPECT_EQ(NameFromURL(url, dir.Path()), "httpwwwsitecomcatspage=1");
  WriteFile(dir / "httpwwwsitecomcatspage=1.wrp", "");
  EXPECT_EQ(NameFromURL(url, dir.Path()), "httpwwwsitecomcatspage=1[0]");
  WriteFile(dir / "httpwwwsitecomcatspage=1[0].wrp", "");
  EXPECT_EQ(NameFromURL(url, dir.Path()), "httpwwwsitecomcatspage=1[1]");
  // Another file of that name is no task file.
  EXPECT_EQ(NameFromURL("http://a/", dir.Path()), "httpa");
  WriteFile(dir / "httpa", "");
  EXPECT_EQ(NameFromURL("http://a/", dir.Path()), "httpa");
}

TEST(TaskFactory, CreateTaskFileMakesTheSavedFolderAndNeverReplacesATaskFile) {
  TempDir dir;
  TRegOptions defaults;
  defaults.DefaultFolder = dir / "downloads";
  defaults.FileMasks = {"gif, Saved", "png, Pics"};
  std::filesystem::create_directory(dir / "projects");
  const auto task = CreateTaskFile("Cats", "http://www.site.com/", defaults, dir / "projects");
  EXPECT_EQ(task->FileName, dir / "projects/Cats.wrp");
  EXPECT_EQ(task->Options.DefaultFolder, dir / "downloads/Cats/");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "downloads/Cats/Saved"));
  TTask back;
  back.LoadFromFile(task->FileName);
  EXPECT_EQ(back.TaskID, task->TaskID);
  EXPECT_EQ(back.Options.FileMasks, defaults.FileMasks);

  const std::string before = ReadFile(task->FileName);
  EXPECT_THROW(CreateTaskFile("Cats", "http://other/", defaults, dir / "projects"), EFileError);
  EXPECT_EQ(ReadFile(task->FileName), before);
}

// The options a new task does not take from the defaults are those of a
// fresh TRegOptions; no Windows drive path reaches its file.
TEST(TaskFactory, ANewTaskFileNamesNoWindowsFolder) {
  TempDir dir;
  TRegOptions defaults;
  defaults.DefaultFolder = dir.Path();
  const auto task = CreateTaskFile("Cats", "http://www.site.com/", defaults, dir.Path());
  TTask back;
  back.LoadFromFile(task->FileName);
  EXPECT_EQ(back.Options.DefaultLogFolder, "/tmp/");
  EXPECT_EQ(ReadFile(task->FileName).find("D:\\"), std::string::npos);
}

}  // namespace
}  // namespace vdk
