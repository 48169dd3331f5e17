#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <thread>

#include "core/base/path_utils.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::FileExists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(PathUtils, AddSlashAndNameParts) {
  EXPECT_EQ(AddSlash(""), "");
  EXPECT_EQ(AddSlash("/"), "/");
  EXPECT_EQ(AddSlash("/x"), "/x/");
  EXPECT_EQ(AddSlash("/x/"), "/x/");
  EXPECT_EQ(ExtractFileName("/a/b/pic.jpg"), "pic.jpg");
  EXPECT_EQ(ExtractFilePath("/a/b/pic.jpg"), "/a/b/");
  EXPECT_EQ(ExtractFileExt("/a/b/x.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("/a.b/readme"), "");
  EXPECT_EQ(ExtractFileExt("pic.jpg!!wr"), ".jpg!!wr");
}

TEST(PathUtils, IsValidTaskName) {
  for (const char* bad : {"a.b", "my task?", "50%", "a/b", "x\\y", "q\"", "a:b", "a|b", "^", "@home"})
    EXPECT_FALSE(IsValidTaskName(bad)) << bad;
  for (const char* good : {"my task", "a-b_c", "x=1", "", "!~[]()"}) EXPECT_TRUE(IsValidTaskName(good)) << good;
}

TEST(PathUtils, UniqueFileNameCountsBeforeTheExtension) {
  TempDir dir;
  EXPECT_EQ(UniqueFileName(dir / "pic.jpg"), dir / "pic.jpg");
  WriteFile(dir / "pic.jpg", "");
  EXPECT_EQ(UniqueFileName(dir / "pic.jpg"), dir / "pic[0].jpg");
  WriteFile(dir / "pic[0].jpg", "");
  EXPECT_EQ(UniqueFileName(dir / "pic.jpg"), dir / "pic[1].jpg");
  WriteFile(dir / "x.tar.gz", "");
  EXPECT_EQ(UniqueFileName(dir / "x.tar.gz"), dir / "x[0].gz");
  WriteFile(dir / "a.b.jpg", "");
  EXPECT_EQ(UniqueFileName(dir / "a.b.jpg"), dir / "a[0].jpg");
}

TEST(PathUtils, UniqueFileNameOfABareNameLooksInTheCurrentFolder) {
  TempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  WriteFile("readme", "");
  EXPECT_EQ(UniqueFileName("readme"), "readme[0]");
  std::filesystem::current_path(previous);
}

TEST(PathUtils, MatchesWildcardWithoutCase) {
  EXPECT_TRUE(MatchesWildcard("PIC.GIF", "*.gif"));
  EXPECT_TRUE(MatchesWildcard("a.jpg!!wr", "*!!wr"));
  EXPECT_TRUE(MatchesWildcard("noext", "*.*"));
  EXPECT_TRUE(MatchesWildcard("a.b", "?.?"));
  EXPECT_FALSE(MatchesWildcard("ab.b", "?.?"));
  EXPECT_FALSE(MatchesWildcard("a.gif.bak", "*.gif"));
  EXPECT_TRUE(MatchesWildcard("x[0].jpg", "x[0].jpg"));  // brackets are plain characters
  EXPECT_FALSE(MatchesWildcard(std::string(60, 'a'), std::string(30, '*') + "b"));
}

TEST(PathUtils, DeleteMatchingFilesTouchesOnlyMatchingFilesOfTheFolder) {
  TempDir dir;
  TempDir outside;
  WriteFile(dir / "a.jpg!!wr", "");
  WriteFile(dir / "B.JPG!!WR", "");
  WriteFile(dir / "keep.jpg", "");
  std::filesystem::create_directory(dir / "folder!!wr");
  WriteFile(outside / "target!!wr", "precious");
  std::filesystem::create_symlink(outside / "target!!wr", dir / "link!!wr");

  DeleteMatchingFiles(dir / "*!!wr");
  EXPECT_FALSE(FileExists(dir / "a.jpg!!wr"));
  EXPECT_FALSE(FileExists(dir / "B.JPG!!WR"));
  EXPECT_FALSE(FileExists(dir / "link!!wr"));  // the link goes, not what it points at
  EXPECT_TRUE(FileExists(dir / "keep.jpg"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder!!wr"));
  EXPECT_EQ(ReadFile(outside / "target!!wr"), "precious");

  DeleteMatchingFiles(dir / "missing-folder/*.*");  // errors are ignored
}

TEST(PathUtils, ReserveUniqueFileGivesConcurrentWritersDistinctNames) {
  TempDir dir;
  WriteFile(dir / "pic.jpg", "existing");
  constexpr int kThreads = 16, kEach = 10;
  std::vector<std::string> finals[kThreads];
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        ReservedFile file = ReserveUniqueFile(dir / "pic.jpg", "!!wr");
        const std::string body = std::to_string(t) + ":" + std::to_string(i);
        EXPECT_EQ(::write(file.Fd, body.data(), body.size()), static_cast<ssize_t>(body.size()));
        ::close(file.Fd);
        EXPECT_EQ(RenameReservedFile(file), 0);
        finals[t].push_back(file.Final);
      }
    });
  }
  for (auto& th : threads) th.join();

  std::set<std::string> names;
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kEach; ++i) {
      const std::string& name = finals[t][static_cast<std::size_t>(i)];
      names.insert(name);
      EXPECT_EQ(ReadFile(name), std::to_string(t) + ":" + std::to_string(i));
    }
  }
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kThreads * kEach));
  EXPECT_EQ(ReadFile(dir / "pic.jpg"), "existing");
  EXPECT_EQ(names.count(dir / "pic.jpg"), 0u);
}

TEST(PathUtils, RenameNoReplaceRefusesAnExistingTarget) {
  TempDir dir;
  WriteFile(dir / "from", "new");
  WriteFile(dir / "to", "old");
  EXPECT_EQ(RenameNoReplace(dir / "from", dir / "to"), EEXIST);
  EXPECT_EQ(ReadFile(dir / "to"), "old");
  EXPECT_EQ(ReadFile(dir / "from"), "new");
  EXPECT_EQ(RenameNoReplace(dir / "from", dir / "fresh"), 0);
  EXPECT_EQ(ReadFile(dir / "fresh"), "new");
}

}  // namespace
}  // namespace vdk
