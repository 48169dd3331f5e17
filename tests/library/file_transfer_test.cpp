#include <gtest/gtest.h>

#include <sys/stat.h>

#include "library/file_transfer.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::FileExists;
using test::ReadFile;
using test::WriteFile;

// Answers the clashes with the queued answers and records what it was asked.
struct ScriptedAsker {
  std::vector<TOverwriteAnswer> answers;
  std::vector<std::string> asked;

  TOverwriteAsker Asker() {
    return [this](const std::string&, const std::string& target) {
      asked.push_back(target);
      const TOverwriteAnswer answer = answers.at(asked.size() - 1);
      return answer;
    };
  }
};

class FileTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir((dir_ / "saved").c_str(), 0700);
    ::mkdir((dir_ / "target").c_str(), 0700);
  }
  std::string Saved(const std::string& name) const { return dir_ / ("saved/" + name); }
  std::string Target(const std::string& name) const { return dir_ / ("target/" + name); }

  test::TempDir dir_;
  ScriptedAsker ask_;
};

TEST_F(FileTransfer, CopiesWithoutAskingWhenThereIsNoClash) {
  WriteFile(Saved("a.jpg"), "a");
  TFileTransfer copy(TTransferKind::Copy, dir_ / "target", ask_.Asker());
  const TTransferResult result = copy.Transfer(Saved("a.jpg"));
  EXPECT_EQ(result.Status, TTransferStatus::Done);
  EXPECT_EQ(result.Target, Target("a.jpg"));
  EXPECT_EQ(ReadFile(Target("a.jpg")), "a");
  EXPECT_TRUE(ask_.asked.empty());
}

TEST_F(FileTransfer, RenameTakesTheFirstFreeNumberedName) {
  WriteFile(Saved("photo.jpg"), "new");
  WriteFile(Target("photo.jpg"), "old");
  WriteFile(Target("photo[0].jpg"), "older");
  ask_.answers = {{TOverwriteChoice::Rename, false}};
  TFileTransfer copy(TTransferKind::Copy, dir_ / "target/", ask_.Asker());
  EXPECT_EQ(copy.Transfer(Saved("photo.jpg")).Target, Target("photo[1].jpg"));
  EXPECT_EQ(ReadFile(Target("photo[1].jpg")), "new");
  EXPECT_EQ(ReadFile(Target("photo.jpg")), "old");
  EXPECT_EQ(ask_.asked, std::vector<std::string>{Target("photo.jpg")});
}

TEST_F(FileTransfer, SkipLeavesBothFiles) {
  WriteFile(Saved("a.jpg"), "new");
  WriteFile(Target("a.jpg"), "old");
  ask_.answers = {{TOverwriteChoice::Skip, false}};
  TFileTransfer move(TTransferKind::Move, dir_ / "target", ask_.Asker());
  EXPECT_EQ(move.Transfer(Saved("a.jpg")).Status, TTransferStatus::Skipped);
  EXPECT_EQ(ReadFile(Saved("a.jpg")), "new");
  EXPECT_EQ(ReadFile(Target("a.jpg")), "old");
}

TEST_F(FileTransfer, OverwriteReplacesAndMoveTakesTheSourceAway) {
  WriteFile(Saved("a.jpg"), "new");
  WriteFile(Target("a.jpg"), "old");
  ask_.answers = {{TOverwriteChoice::Overwrite, false}};
  TFileTransfer move(TTransferKind::Move, dir_ / "target", ask_.Asker());
  EXPECT_EQ(move.Transfer(Saved("a.jpg")).Status, TTransferStatus::Done);
  EXPECT_EQ(ReadFile(Target("a.jpg")), "new");
  EXPECT_FALSE(FileExists(Saved("a.jpg")));
}

TEST_F(FileTransfer, NoPromptKeepsTheChoiceForTheRestOfTheRun) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
    WriteFile(Saved(name), std::string("new ") + name);
    if (std::string(name) != "c.jpg") WriteFile(Target(name), "old");
  }
  ask_.answers = {{TOverwriteChoice::Skip, true}};
  TFileTransfer copy(TTransferKind::Copy, dir_ / "target", ask_.Asker());
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) copy.Transfer(Saved(name));
  EXPECT_EQ(ask_.asked.size(), 1u);
  EXPECT_EQ(ReadFile(Target("b.jpg")), "old");
  EXPECT_EQ(ReadFile(Target("c.jpg")), "new c.jpg");  // no clash: copied
  EXPECT_EQ(ReadFile(Target("d.jpg")), "old");

  // A new run asks again.
  ask_.answers.push_back({TOverwriteChoice::Overwrite, false});
  TFileTransfer again(TTransferKind::Copy, dir_ / "target", ask_.Asker());
  again.Transfer(Saved("a.jpg"));
  EXPECT_EQ(ask_.asked.size(), 2u);
  EXPECT_EQ(ReadFile(Target("a.jpg")), "new a.jpg");
}

TEST_F(FileTransfer, IntoItsOwnFolderNothingIsAskedOrWritten) {
  WriteFile(Saved("a.jpg"), "a");
  TFileTransfer copy(TTransferKind::Copy, dir_ / "saved", ask_.Asker());
  TFileTransfer move(TTransferKind::Move, dir_ / "saved", ask_.Asker());
  EXPECT_EQ(copy.Transfer(Saved("a.jpg")).Status, TTransferStatus::SameFile);
  EXPECT_EQ(move.Transfer(Saved("a.jpg")).Status, TTransferStatus::SameFile);
  EXPECT_TRUE(ask_.asked.empty());
  EXPECT_EQ(ReadFile(Saved("a.jpg")), "a");
  EXPECT_FALSE(FileExists(Saved("a[0].jpg")));
}

}  // namespace
}  // namespace vdk
