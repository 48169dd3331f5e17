// vendrake-cli runs whose files cannot be written: every failed save has its
// log line, the run ends with a non-zero code, and a full disk leaves the
// files not saved waiting for the next run.

#include <unistd.h>

#include <filesystem>
#include <set>

#include "cli_fixture.h"
#include "core/model/task.h"

namespace vdk::test {
namespace {

class CliFailedSaveTest : public CliFixture {
 protected:
  std::set<std::string> PicturesNotDone() const {
    TTask task;
    task.LoadFromFile(TaskFile());
    std::set<std::string> names;
    task.Items.ForEach([&](const TaskItemPtr& item) {
      if (!item->Done() && item->URL().URI().ends_with(".jpg")) names.insert(std::string(item->URL().Document()));
    });
    return names;
  }
};

TEST_F(CliFailedSaveTest, AMaskFolderThatCannotBeMadeFailsTheRun) {
  ASSERT_EQ(Run({"run", Url(), "--depth", "0"}).code, 0);  // makes the task and its folder
  const std::string pictures = std::filesystem::path(SavedFolder()).parent_path() / "Pictures";
  WriteFile(pictures, "a file where the folder should be");
  const CliResult run = Run({"run", Url(), "--depth", "5", "--mask", "jpg,Pictures", "--mask", "png"});
  EXPECT_EQ(run.code, 2) << run.out;
  EXPECT_NE(run.err.find("2 files could not be saved"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("Failed: Cannot create the folder \"" + pictures + "\": Not a directory"), std::string::npos)
      << run.out;
  EXPECT_EQ(server.CountRequests("GET", "/a.jpg"), 0);  // nothing is fetched for nothing
  EXPECT_EQ(Saved(), std::set<std::string>{"c.png"});   // the other mask's pictures are saved
}

TEST_F(CliFailedSaveTest, ASaveFolderThatCannotBeMadeIsRefusedBeforeTheRun) {
  WriteFile(home / "plain", "");
  const CliResult run = Run({"run", Url(), "--save-folder", home / "plain/pictures"});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("\"" + home / "plain" + "\" is not a folder"), std::string::npos) << run.err;
  EXPECT_TRUE(server.Requests().empty());
}

// A disk with room for two of the six pictures (a tmpfs only the run sees).
// Skipped where no file system can be mounted (not root).
TEST_F(CliFailedSaveTest, AFullDiskStopsTheRunAndTheNextRunSavesWhatWasNotSaved) {
  if (::geteuid() != 0) GTEST_SKIP() << "a small disk needs root";
  std::string page;
  for (char c = 'a'; c <= 'f'; ++c) {
    page += std::string("<img src=") + c + ".jpg>";
    server.Serve(std::string("/") + c + ".jpg", {.body = std::string(100 << 10, c)});
  }
  server.Serve("/index.html", {.body = page});
  const std::string downloads = home / "Images/Downloaded Files";
  std::filesystem::create_directories(downloads);

  const CliResult full = CliProcess({"run", Url()}, home.Path(), std::nullopt, SmallDisk{downloads, 256 << 10}).Wait();
  if (full.code == CliProcess::kNoSmallDisk) GTEST_SKIP() << "no tmpfs can be mounted here";
  EXPECT_EQ(full.code, 2) << full.out;
  EXPECT_NE(full.err.find("the disk is full"), std::string::npos) << full.err;
  EXPECT_NE(full.out.find("No space left on device"), std::string::npos) << full.out;
  EXPECT_NE(full.out.find("Stopped after"), std::string::npos) << full.out;
  const std::set<std::string> waiting = PicturesNotDone();
  EXPECT_GE(waiting.size(), 1u);  // workers write side by side: any number may have failed

  // The small disk went away with the run: what this run saves is exactly
  // what the first one could not, under the pictures' own names.
  const CliResult resumed = Run({"run", TaskFile()});
  EXPECT_EQ(resumed.code, 0) << resumed.err;
  EXPECT_EQ(Saved(), waiting);
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1);
  EXPECT_TRUE(PicturesNotDone().empty());
}

}  // namespace
}  // namespace vdk::test
