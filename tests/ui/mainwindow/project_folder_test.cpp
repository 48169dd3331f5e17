// The project folder as the tree sees it: what becomes a node, captions from
// task files, links and special files, and deleting folders.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/model/task.h"
#include "support/qt_printers.h"
#include "support/temp_dir.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/project_folder.h"

namespace vdk {
namespace {

using test::TempDir;
using test::WriteFile;

// A task file whose header names the task.
void WriteTask(const std::string& path, const std::string& name) {
  TTask task;
  task.Name = name;
  task.TaskID = NewGUID();
  task.SaveToFile(path);
}

std::vector<std::string> Captions(const std::vector<TProjectEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.Caption);
  return out;
}

TEST(ProjectFolder, OtherFilesShowOnlyWithShowAll) {
  TempDir dir;
  WriteTask(dir / "cats.wrp", "Cats");
  WriteFile(dir / "notes.txt", "x");
  WriteFile(dir / ".cats.wrp.lock", "");  // a run's lock on cats.wrp
  std::filesystem::create_directory(dir / "Sub");
  EXPECT_EQ(Captions(ScanProjectFolder(dir.Path(), false)), (std::vector<std::string>{"Cats", "Sub"}));
  const auto all = ScanProjectFolder(dir.Path(), true);
  ASSERT_EQ(Captions(all), (std::vector<std::string>{"Cats", "notes.txt", "Sub"}));
  EXPECT_EQ(all[0].Icon, kTaskIcon);
  EXPECT_EQ(all[1].Icon, kFileIcon);
  EXPECT_EQ(all[2].Icon, kFolderIcon);
  EXPECT_EQ(all[2].Path, dir / "Sub");
}

TEST(ProjectFolder, ATaskFileInCapitalsIsATaskCaptionedWithItsStoredName) {
  TempDir dir;
  WriteTask(dir / "file-name.WRP", "The stored name");
  const auto entries = ScanProjectFolder(dir.Path(), false);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Icon, kTaskIcon);
  EXPECT_EQ(entries[0].Caption, "The stored name");
  EXPECT_TRUE(entries[0].Problem.empty());
}

TEST(ProjectFolder, FoldersAreScannedRecursivelyInNameOrder) {
  TempDir dir;
  std::filesystem::create_directories(dir / "b/inner");
  std::filesystem::create_directory(dir / "A");
  std::filesystem::create_directory(dir / "C");
  WriteTask(dir / "b/inner/deep.wrp", "Deep");
  const auto entries = ScanProjectFolder(dir.Path(), false);
  ASSERT_EQ(Captions(entries), (std::vector<std::string>{"A", "b", "C"}));
  ASSERT_EQ(entries[1].Children.size(), 1u);
  EXPECT_EQ(Captions(entries[1].Children[0].Children), std::vector<std::string>{"Deep"});
}

TEST(ProjectFolder, AShortOrUnreadableTaskFileCostsOnlyItself) {
  TempDir dir;
  std::string header(TTask::kHeaderSize, '\0');
  header.replace(11, 5, "Short");
  WriteFile(dir / "short.wrp", header);  // header but no options block
  WriteTask(dir / "good.wrp", "Good");
  WriteTask(dir / "locked.wrp", "Locked");
  ::chmod((dir / "locked.wrp").c_str(), 0);
  const auto entries = ScanProjectFolder(dir.Path(), false);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Caption, "Good");
  EXPECT_TRUE(entries[0].Problem.empty());
  if (::geteuid() != 0) {  // root reads the file anyway
    EXPECT_EQ(entries[1].Caption, "locked");
    EXPECT_FALSE(entries[1].Problem.empty());
  }
  EXPECT_EQ(entries[2].Caption, "short");
  EXPECT_FALSE(entries[2].Problem.empty());
}

TEST(ProjectFolder, ATaskFileShorterThanTheNameFieldReadsAsZeros) {
  TempDir dir;
  std::string bytes(20, '\0');
  bytes.replace(11, 4, "Cut!");
  WriteFile(dir / "cut.wrp", bytes);
  EXPECT_EQ(ReadTaskCaption(dir / "cut.wrp"), "Cut!");
}

TEST(ProjectFolder, LinksAndSpecialFilesAreNeverFollowedOrTakenForTasks) {
  TempDir dir, outside;
  WriteTask(outside / "real.wrp", "Real");
  std::filesystem::create_directory(dir / "loop");
  std::filesystem::create_directory_symlink(dir.Path(), dir / "loop/back");
  std::filesystem::create_directory_symlink(outside.Path(), dir / "elsewhere");
  std::filesystem::create_symlink(outside / "real.wrp", dir / "linked.wrp");
  ASSERT_EQ(::mkfifo((dir / "pipe.wrp").c_str(), 0600), 0);
  const auto hidden = ScanProjectFolder(dir.Path(), false);
  ASSERT_EQ(Captions(hidden), std::vector<std::string>{"loop"});
  EXPECT_TRUE(hidden[0].Children.empty());
  const auto all = ScanProjectFolder(dir.Path(), true);
  ASSERT_EQ(Captions(all), (std::vector<std::string>{"elsewhere", "linked.wrp", "loop", "pipe.wrp"}));
  for (const auto& e : all) {
    if (e.Caption != "loop") {
      EXPECT_EQ(e.Icon, kFileIcon) << e.Caption;
    }
  }
  EXPECT_EQ(Captions(all[2].Children), std::vector<std::string>{"back"});
}

TEST(ProjectFolder, AVeryDeepTreeStopsAtTheDepthLimit) {
  TempDir dir;
  std::string path = dir.Path();
  for (int i = 0; i < kMaxTreeDepth + 10; ++i) path += "d/";
  std::filesystem::create_directories(path);
  auto entries = ScanProjectFolder(dir.Path(), false);
  int depth = 0;
  while (!entries.empty()) {
    ++depth;
    entries = std::vector<TProjectEntry>(entries[0].Children);
  }
  EXPECT_EQ(depth, kMaxTreeDepth);
}

TEST(ProjectFolder, DeleteFolderTreeRemovesEverythingButNeverFollowsALink) {
  TempDir dir, outside;
  WriteFile(outside / "keep.jpg", "sentinel");
  std::filesystem::create_directories(dir / "cat/sub");
  WriteTask(dir / "cat/a.wrp", "A");
  WriteFile(dir / "cat/sub/b.txt", "b");
  std::filesystem::create_directory_symlink(outside.Path(), dir / "cat/link");
  std::vector<std::string> reported;
  EXPECT_TRUE(DeleteFolderTree(dir / "cat", [&](const std::string& m) { reported.push_back(m); }));
  EXPECT_TRUE(reported.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "cat"));
  EXPECT_EQ(test::ReadFile(outside / "keep.jpg"), "sentinel");
}

TEST(ProjectFolder, DeleteFolderTreeGoesOnPastAFailureAndReportsIt) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may delete anything";
  TempDir dir;
  std::filesystem::create_directories(dir / "cat/locked");
  WriteFile(dir / "cat/locked/x.txt", "x");
  WriteFile(dir / "cat/free.txt", "y");
  ::chmod((dir / "cat/locked").c_str(), 0500);
  std::vector<std::string> reported;
  EXPECT_FALSE(DeleteFolderTree(dir / "cat", [&](const std::string& m) { reported.push_back(m); }));
  ::chmod((dir / "cat/locked").c_str(), 0700);
  EXPECT_FALSE(std::filesystem::exists(dir / "cat/free.txt"));
  ASSERT_EQ(reported.size(), 3u);
  EXPECT_EQ(reported[0], "Delete file " + (dir / "cat/locked/x.txt") + " failed !");
  EXPECT_EQ(reported[1], "Delete directory " + (dir / "cat/locked") + " failed !");
  EXPECT_EQ(reported[2], "Delete directory " + (dir / "cat") + " failed !");
}

TEST(ProjectFolder, NewFolderNamesThatCannotBeFoldersAreRefused) {
  for (const char* bad : {"", ".", "..", "a/b", "/"}) EXPECT_FALSE(CheckFolderName(bad).empty()) << bad;
  for (const char* good : {"Cats", "a.b", "...", " spaced "}) EXPECT_TRUE(CheckFolderName(good).empty()) << good;
}

}  // namespace
}  // namespace vdk
