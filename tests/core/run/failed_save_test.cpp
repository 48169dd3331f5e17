// Files that cannot be written: each failure is logged and counted; a full
// disk stops the task with the files not saved still waiting.

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

#include "core/run/file_writer.h"
#include "engine_fixture.h"

namespace vdk::test {
namespace {

std::string Img(const std::string& target) { return "<img src=\"" + target + "\">\n"; }

// Fails every write with the given errno, or only the writes to files whose
// name holds a given text; writes the others.
class FailingWriter : public TFileWriter {
 public:
  explicit FailingWriter(int err, std::string only = "") : err_(err), only_(std::move(only)) {}
  int Write(int fd, const char* data, std::size_t size) override {
    if (only_.empty() || NameOf(fd).find(only_) != std::string::npos) {
      ++failures;
      return err_;
    }
    return WriteAll(fd, data, size);
  }
  std::atomic<int> failures{0};

 private:
  static std::string NameOf(int fd) {
    char name[PATH_MAX] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    return ::readlink(link.c_str(), name, sizeof name - 1) > 0 ? name : "";
  }
  int err_;
  std::string only_;
};

class FailedSaveTest : public EngineTest {
 protected:
  FailedSaveTest() {
    server.Serve("/index.html", {.body = Img("a.gif") + Img("b.gif") + Img("c.gif") + Img("d.gif")});
    for (const char* name : {"/a.gif", "/b.gif", "/c.gif", "/d.gif"}) server.Serve(name, {.body = Bytes(3000)});
    SetStart("/index.html");
  }
  bool IsDone(const std::string& path) const {
    const int index = task->Items.IndexOfURL(server.Url(path));
    return index >= 0 && task->Items.Items(index)->Done();
  }
};

TEST_F(FailedSaveTest, AFullDiskStopsTheTaskAndALaterRunSavesWhatWasNotSaved) {
  const auto full = std::make_shared<FailingWriter>(ENOSPC);
  task->Writer = full;
  Run();
  Drain();
  EXPECT_EQ(finished, 1);  // the run has ended, for its owner too
  // Workers stopped by the stop no longer report their failures.
  EXPECT_GE(task->FailedSaveCount(), 1);
  EXPECT_LE(task->FailedSaveCount(), full->failures.load());
  EXPECT_NE(task->NoRoomFailure().find("No space left on device"), std::string::npos) << task->NoRoomFailure();
  EXPECT_EQ(views.Count("The disk is full: the task stops, and the files not saved wait for its next run"), 1);
  const auto failed = std::find_if(views.log.begin(), views.log.end(),
                                   [](const std::string& line) { return line.starts_with("Failed: Cannot save"); });
  ASSERT_NE(failed, views.log.end());
  EXPECT_NE(failed->find(dir / "Saved/"), std::string::npos) << *failed;
  EXPECT_TRUE(IsDone("/index.html"));
  for (const char* name : {"/a.gif", "/b.gif", "/c.gif", "/d.gif"}) EXPECT_FALSE(IsDone(name)) << name;
  EXPECT_EQ(FilesIn("Saved"), std::set<std::string>{});  // no partial file stays
  EXPECT_EQ(task->SavedCount(), 0);

  // Room again: the next run saves the pictures under their own names and
  // does not fetch the page again.
  task->Writer = nullptr;
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"a.gif", "b.gif", "c.gif", "d.gif"}));
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1);
  EXPECT_EQ(task->FailedSaveCount(), 0);
  EXPECT_EQ(task->NoRoomFailure(), "");
  EXPECT_EQ(task->FinishedCount(), 5);
}

TEST_F(FailedSaveTest, AQuotaThatIsUsedUpIsAFullDiskToo) {
  task->Writer = std::make_shared<FailingWriter>(EDQUOT);
  Run();
  Drain();
  EXPECT_NE(task->NoRoomFailure(), "");
  EXPECT_TRUE(IsDone("/index.html"));
  EXPECT_LT(task->FinishedCount(), 5);
}

// A file too big for the file system costs only itself: the run goes on.
TEST_F(FailedSaveTest, AFileThatCannotBeWrittenCostsOnlyItself) {
  task->Writer = std::make_shared<FailingWriter>(EFBIG, "b.gif");
  Run();
  Drain();
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"a.gif", "c.gif", "d.gif"}));
  EXPECT_EQ(task->FailedSaveCount(), 1);
  EXPECT_EQ(task->NoRoomFailure(), "");
  EXPECT_EQ(views.Count("Failed: Cannot save the file \"" + dir / "Saved/b.gif" + "\": File too large"), 1);
  EXPECT_EQ(task->FinishedCount(), 5);
  EXPECT_EQ(task->SavedCount(), 3);
}

// A page that cannot be saved is still scanned for its links.
TEST_F(FailedSaveTest, APageThatCannotBeSavedIsStillScanned) {
  task->Options.FileMasks.push_back("html, Pages");
  WriteFile(dir / "Pages", "a file where the folder should be");
  Run();
  Drain();
  EXPECT_EQ(views.Count("Failed: Cannot create the folder \"" + dir / "Pages" + "\": Not a directory"), 1);
  EXPECT_EQ(FilesIn("Saved"), (std::set<std::string>{"a.gif", "b.gif", "c.gif", "d.gif"}));
  EXPECT_EQ(task->FailedSaveCount(), 1);
}

}  // namespace
}  // namespace vdk::test
