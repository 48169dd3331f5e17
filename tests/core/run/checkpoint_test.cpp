// The checkpoint of a running task: when it saves, and what the file holds.

#include "core/run/checkpoint.h"

#include "engine_fixture.h"

namespace vdk::test {
namespace {

class CheckpointTest : public EngineTest {
 protected:
  using Clock = TCheckpoint::Clock;
  CheckpointTest() {
    server.Serve("/index.html", {.body = "<img src=a.jpg><img src=b.jpg>"});
    server.Serve("/a.jpg", {.body = Bytes(100)});
    server.Serve("/b.jpg", {.body = Bytes(5000), .cutAfter = 10, .stall = true});
    SetStart("/index.html");
    task->FileName = dir / "task.wrp";
  }
};

TEST_F(CheckpointTest, SavesARunningTaskOncePerIntervalWithItsRunningItemsNotDone) {
  const auto start = Clock::now();
  TCheckpoint checkpoint(std::chrono::seconds(30), start);
  EXPECT_FALSE(checkpoint.Tick(*task, start + std::chrono::hours(1)));  // not running
  EXPECT_FALSE(FileExists(task->FileName));

  task->Start();
  ASSERT_TRUE(loop->ProcessUntil([&] { return task->FinishedCount() == 2 && task->RunningCount() == 1; },
                                 Clock::now() + std::chrono::seconds(60)));
  EXPECT_FALSE(checkpoint.Tick(*task, start + std::chrono::seconds(29)));
  EXPECT_FALSE(FileExists(task->FileName));
  EXPECT_TRUE(checkpoint.Tick(*task, start + std::chrono::seconds(30)));
  EXPECT_FALSE(checkpoint.Tick(*task, start + std::chrono::seconds(59)));  // the interval starts again

  TTask saved;
  saved.LoadFromFile(task->FileName);
  EXPECT_EQ(saved.FinishedCount(), 2);
  const int running = saved.Items.IndexOfURL(server.Url("/b.jpg"));
  ASSERT_GE(running, 0);
  EXPECT_FALSE(saved.Items.Items(running)->Done());
  EXPECT_FALSE(task->Stopped());  // the task itself still runs
}

TEST_F(CheckpointTest, ATaskWithoutFileIsNotSaved) {
  task->FileName.clear();
  const auto start = Clock::now();
  TCheckpoint checkpoint(std::chrono::seconds(1), start);
  task->Start();
  EXPECT_FALSE(checkpoint.Tick(*task, start + std::chrono::hours(1)));
}

}  // namespace
}  // namespace vdk::test
