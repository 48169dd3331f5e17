#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <stop_token>

#include "library/file_actions.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::FileExists;
using test::ReadFile;
using test::WriteFile;

// Names in a folder, to see that no temporary file was left behind.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  while (const dirent* entry = dir ? ::readdir(dir) : nullptr)
    if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
  if (dir) ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// A small tmpfs mounted on a folder while the object lives; Mounted() is
// false when the test may not mount (not root, or no such privilege).
class SmallTmpfs {
 public:
  explicit SmallTmpfs(const std::string& folder) : folder_(folder) {
    ::mkdir(folder.c_str(), 0700);
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

// Files written by this process fail with EFBIG beyond the given size while
// the object lives: a full disk without a file system.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

class FileActions : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir((dir_ / "saved").c_str(), 0700);
    ::mkdir((dir_ / "target").c_str(), 0700);
    ::mkdir((dir_ / "outside").c_str(), 0700);
    WriteFile(dir_ / "outside/sentinel.jpg", "keep me");
  }
  std::string Saved(const std::string& name) const { return dir_ / ("saved/" + name); }
  std::string Target(const std::string& name) const { return dir_ / ("target/" + name); }

  test::TempDir dir_;
};

TEST_F(FileActions, DeleteRemovesARegularFile) {
  WriteFile(Saved("a.jpg"), "a");
  EXPECT_EQ(DeleteFileEntry(Saved("a.jpg")), 0);
  EXPECT_FALSE(FileExists(Saved("a.jpg")));
}

TEST_F(FileActions, DeleteRemovesALinkAndNotWhatItPointsTo) {
  ASSERT_EQ(::symlink((dir_ / "outside").c_str(), Saved("link").c_str()), 0);
  ASSERT_EQ(::symlink((dir_ / "outside/sentinel.jpg").c_str(), Saved("file-link.jpg").c_str()), 0);
  EXPECT_EQ(DeleteFileEntry(Saved("link")), 0);
  EXPECT_EQ(DeleteFileEntry(Saved("file-link.jpg")), 0);
  EXPECT_EQ(Entries(dir_ / "saved"), std::vector<std::string>{});
  EXPECT_EQ(ReadFile(dir_ / "outside/sentinel.jpg"), "keep me");
}

TEST_F(FileActions, DeleteRefusesFoldersAndSpecialFiles) {
  ::mkdir(Saved("sub").c_str(), 0700);
  WriteFile(Saved("sub/inner.jpg"), "inner");
  ASSERT_EQ(::mkfifo(Saved("pipe.jpg").c_str(), 0600), 0);
  EXPECT_EQ(DeleteFileEntry(Saved("sub")), EISDIR);
  EXPECT_EQ(DeleteFileEntry(Saved("pipe.jpg")), EPERM);
  EXPECT_EQ(ReadFile(Saved("sub/inner.jpg")), "inner");
  EXPECT_EQ(Entries(dir_ / "saved"), (std::vector<std::string>{"pipe.jpg", "sub"}));
  EXPECT_EQ(DeleteFileEntry(Saved("gone.jpg")), ENOENT);
}

TEST_F(FileActions, DeletingSeveralPassesOverRefusalsAndStopsBetweenFiles) {
  WriteFile(Saved("a.jpg"), "a");
  WriteFile(Saved("b.jpg"), "b");
  WriteFile(Saved("c.jpg"), "c");
  ::mkdir(Saved("sub").c_str(), 0700);
  WriteFile(Saved("sub/inner.jpg"), "inner");
  const std::vector<std::string> paths = {Saved("a.jpg"), Saved("sub"), Saved("gone.jpg"), Saved("b.jpg"),
                                          Saved("c.jpg")};
  std::stop_source stop;
  const std::vector<int> deleted = DeleteFileEntries(paths, stop.get_token(), [&](int done) {
    if (done == 4) stop.request_stop();
  });
  EXPECT_EQ(deleted, (std::vector<int>{0, 3}));
  EXPECT_EQ(Entries(dir_ / "saved"), (std::vector<std::string>{"c.jpg", "sub"})) << "c.jpg came after the stop";
  EXPECT_EQ(ReadFile(Saved("sub/inner.jpg")), "inner");
  EXPECT_EQ(DeleteFileEntries({Saved("c.jpg")}), std::vector<int>{0});
}

TEST_F(FileActions, CopyWritesTheWholeFileWithItsModeAndTime) {
  const std::string bytes(3 * 1024 * 1024 + 17, 'x');
  WriteFile(Saved("big.jpg"), bytes);
  ::chmod(Saved("big.jpg").c_str(), 0640);
  const TTransferResult result = CopyFileTo(Saved("big.jpg"), Target("big.jpg"), TReplace::Never);
  EXPECT_EQ(result.Status, TTransferStatus::Done);
  EXPECT_EQ(ReadFile(Target("big.jpg")), bytes);
  struct stat source {
  }, copy{};
  ::stat(Saved("big.jpg").c_str(), &source);
  ::stat(Target("big.jpg").c_str(), &copy);
  EXPECT_EQ(copy.st_mode & 0777, 0640u);
  EXPECT_EQ(copy.st_mtim.tv_sec, source.st_mtim.tv_sec);
  EXPECT_EQ(Entries(dir_ / "target"), std::vector<std::string>{"big.jpg"});
}

TEST_F(FileActions, CopyReplacesOnlyWhenAllowed) {
  WriteFile(Saved("a.jpg"), "new");
  WriteFile(Target("a.jpg"), "old");
  const TTransferResult refused = CopyFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Never);
  EXPECT_EQ(refused.Status, TTransferStatus::Failed);
  EXPECT_EQ(refused.Error, EEXIST);
  EXPECT_EQ(ReadFile(Target("a.jpg")), "old");
  EXPECT_EQ(CopyFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Allowed).Status, TTransferStatus::Done);
  EXPECT_EQ(ReadFile(Target("a.jpg")), "new");
  EXPECT_EQ(Entries(dir_ / "target"), std::vector<std::string>{"a.jpg"});
}

TEST_F(FileActions, CopyOntoTheSameFileChangesNothing) {
  WriteFile(Saved("a.jpg"), "only copy");
  ASSERT_EQ(::symlink(Saved("a.jpg").c_str(), Target("a.jpg").c_str()), 0);
  EXPECT_EQ(CopyFileTo(Saved("a.jpg"), Saved("a.jpg"), TReplace::Allowed).Status, TTransferStatus::SameFile);
  EXPECT_EQ(CopyFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Allowed).Status, TTransferStatus::SameFile);
  EXPECT_EQ(ReadFile(Saved("a.jpg")), "only copy");
  EXPECT_EQ(Entries(dir_ / "saved"), std::vector<std::string>{"a.jpg"});
}

TEST_F(FileActions, CopyRefusesFoldersAndFifosWithoutBlocking) {
  ::mkdir(Saved("sub").c_str(), 0700);
  ASSERT_EQ(::mkfifo(Saved("pipe.jpg").c_str(), 0600), 0);
  EXPECT_EQ(CopyFileTo(Saved("sub"), Target("sub"), TReplace::Never).Error, EISDIR);
  EXPECT_EQ(CopyFileTo(Saved("pipe.jpg"), Target("pipe.jpg"), TReplace::Never).Status, TTransferStatus::Failed);
  EXPECT_EQ(Entries(dir_ / "target"), std::vector<std::string>{});
}

TEST_F(FileActions, CancelledCopyLeavesNothingBehind) {
  WriteFile(Saved("a.jpg"), std::string(2 * 1024 * 1024, 'a'));
  std::stop_source stop;
  stop.request_stop();
  EXPECT_EQ(CopyFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Never, stop.get_token()).Status,
            TTransferStatus::Cancelled);
  EXPECT_EQ(Entries(dir_ / "target"), std::vector<std::string>{});
  EXPECT_EQ(MoveFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Never, stop.get_token()).Status,
            TTransferStatus::Cancelled);
  EXPECT_TRUE(FileExists(Saved("a.jpg")));
}

TEST_F(FileActions, CopyThatCannotBeWrittenLeavesNoPartialFile) {
  WriteFile(Saved("a.jpg"), std::string(256 * 1024, 'a'));
  WriteFile(Target("a.jpg"), "old");
  {
    FileSizeLimit limit(64 * 1024);
    const TTransferResult result = CopyFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Allowed);
    EXPECT_EQ(result.Status, TTransferStatus::Failed);
    EXPECT_EQ(result.Error, EFBIG);
  }
  EXPECT_EQ(ReadFile(Target("a.jpg")), "old");
  EXPECT_EQ(Entries(dir_ / "target"), std::vector<std::string>{"a.jpg"});
  EXPECT_EQ(ReadFile(Saved("a.jpg")).size(), 256u * 1024);
}

TEST_F(FileActions, CopyToAFullFileSystemLosesNothing) {
  SmallTmpfs full(dir_ / "full");
  if (!full.Mounted()) GTEST_SKIP() << "mounting a tmpfs needs root; the size-limit test covers the failure";
  WriteFile(Saved("a.jpg"), std::string(256 * 1024, 'a'));
  const TTransferResult result = CopyFileTo(Saved("a.jpg"), dir_ / "full/a.jpg", TReplace::Never);
  EXPECT_EQ(result.Status, TTransferStatus::Failed);
  EXPECT_EQ(result.Error, ENOSPC);
  EXPECT_EQ(Entries(dir_ / "full"), std::vector<std::string>{});
  const TTransferResult moved = MoveFileTo(Saved("a.jpg"), dir_ / "full/a.jpg", TReplace::Never);
  EXPECT_EQ(moved.Status, TTransferStatus::Failed);
  EXPECT_EQ(ReadFile(Saved("a.jpg")).size(), 256u * 1024);
  EXPECT_EQ(Entries(dir_ / "full"), std::vector<std::string>{});
}

TEST_F(FileActions, MoveAcrossFileSystemsRemovesTheSourceAfterTheCopy) {
  SmallTmpfs other(dir_ / "other");
  if (!other.Mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  WriteFile(Saved("a.jpg"), "picture");
  EXPECT_EQ(MoveFileTo(Saved("a.jpg"), dir_ / "other/a.jpg", TReplace::Never).Status, TTransferStatus::Done);
  EXPECT_EQ(ReadFile(dir_ / "other/a.jpg"), "picture");
  EXPECT_FALSE(FileExists(Saved("a.jpg")));
}

TEST_F(FileActions, MoveRenamesAndReplacesOnlyWhenAllowed) {
  WriteFile(Saved("a.jpg"), "new");
  WriteFile(Target("a.jpg"), "old");
  EXPECT_EQ(MoveFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Never).Error, EEXIST);
  EXPECT_EQ(ReadFile(Saved("a.jpg")), "new");
  EXPECT_EQ(ReadFile(Target("a.jpg")), "old");
  EXPECT_EQ(MoveFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Allowed).Status, TTransferStatus::Done);
  EXPECT_EQ(ReadFile(Target("a.jpg")), "new");
  EXPECT_FALSE(FileExists(Saved("a.jpg")));
}

TEST_F(FileActions, MoveOntoAnotherNameOfTheSameFileKeepsBoth) {
  WriteFile(Saved("a.jpg"), "one file");
  ASSERT_EQ(::link(Saved("a.jpg").c_str(), Target("a.jpg").c_str()), 0);
  EXPECT_EQ(MoveFileTo(Saved("a.jpg"), Target("a.jpg"), TReplace::Allowed).Status, TTransferStatus::SameFile);
  EXPECT_TRUE(FileExists(Saved("a.jpg")));
  EXPECT_TRUE(FileExists(Target("a.jpg")));
}

TEST_F(FileActions, MoveRefusesFolders) {
  ::mkdir(Saved("sub").c_str(), 0700);
  WriteFile(Saved("sub/inner.jpg"), "inner");
  EXPECT_EQ(MoveFileTo(Saved("sub"), Target("sub"), TReplace::Never).Error, EISDIR);
  EXPECT_EQ(ReadFile(Saved("sub/inner.jpg")), "inner");
}

}  // namespace
}  // namespace vdk
