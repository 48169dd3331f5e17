// Task files written on the writer's thread: the task as it was handed over,
// in order, with the run's hold let go only once the file is there.

#include "core/model/task_file_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "core/model/task.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TaskFileWriterTest : ::testing::Test {
  test::TempDir dir;
  TTask task;
  std::mutex lock;
  std::vector<std::string> failures;  // guarded by lock
  TTaskFileWriter writer{[this](const std::string& reason) {
    std::lock_guard guard(lock);
    failures.push_back(reason);
  }};

  TaskFileWriterTest() {
    task.Name = "Gallery";
    task.URL.SetURI("http://127.0.0.1:9/index.html");
    AddItem("http://127.0.0.1:9/a.jpg", true);
    AddItem("http://127.0.0.1:9/b.jpg", false);
  }
  void AddItem(const std::string& url, bool done) {
    auto item = std::make_shared<TTaskItem>(&task, url);
    item->SetDone(done);
    task.Items.Append(item);
  }
};

TEST_F(TaskFileWriterTest, TheFileHoldsTheTaskAsHandedOverByteForByte) {
  task.SaveToFile(dir / "expected.wrp");
  writer.Write(task, dir / "gallery.wrp");
  task.Name = "Changed";
  AddItem("http://127.0.0.1:9/c.jpg", false);
  writer.Wait();
  EXPECT_EQ(Bytes(dir / "gallery.wrp"), Bytes(dir / "expected.wrp"));
  TTask read;
  read.LoadFromFile(dir / "gallery.wrp");
  EXPECT_EQ(read.Name, "Gallery");
  EXPECT_EQ(read.Items.Count(), 2);
}

TEST_F(TaskFileWriterTest, WritesOfOneFileLandInTheOrderHandedOver) {
  for (int i = 0; i < 20; ++i) {
    task.Name = "Run " + std::to_string(i);
    writer.Write(task, dir / "gallery.wrp");
  }
  writer.Wait();
  TTask read;
  read.LoadFromFile(dir / "gallery.wrp");
  EXPECT_EQ(read.Name, "Run 19");
}

TEST_F(TaskFileWriterTest, TheHoldGoesOnlyOnceTheFileIsWritten) {
  task.SaveToFile(dir / "expected.wrp");
  bool writtenWhenLetGo = false;
  std::shared_ptr<void> hold(new int(0), [&](void* p) {
    writtenWhenLetGo = Bytes(dir / "gallery.wrp") == Bytes(dir / "expected.wrp");
    delete static_cast<int*>(p);
  });
  std::weak_ptr<void> watch = hold;
  writer.Write(task, dir / "gallery.wrp", std::move(hold));
  writer.Wait();
  EXPECT_TRUE(watch.expired()) << "Wait returns after the hold went";
  EXPECT_TRUE(writtenWhenLetGo);
}

TEST_F(TaskFileWriterTest, AFailureIsHandedOverAndTheHoldStillGoes) {
  auto hold = std::make_shared<int>(0);
  std::weak_ptr<int> watch = hold;
  writer.Write(task, dir / "gone/gallery.wrp", std::move(hold));
  writer.Write(task, dir / "gallery.wrp");
  writer.Wait();
  EXPECT_TRUE(watch.expired());
  std::lock_guard guard(lock);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find(dir / "gone/gallery.wrp"), std::string::npos) << failures[0];
  EXPECT_TRUE(test::FileExists(dir / "gallery.wrp")) << "a failure costs only its own file";
}

TEST(TaskFileWriter, WhatWaitsIsWrittenBeforeTheWriterGoes) {
  test::TempDir dir;
  TTask task;
  task.URL.SetURI("http://127.0.0.1:9/");
  {
    TTaskFileWriter writer({});
    for (const char* name : {"a.wrp", "b.wrp", "c.wrp"}) writer.Write(task, dir / name);
  }
  for (const char* name : {"a.wrp", "b.wrp", "c.wrp"}) EXPECT_TRUE(test::FileExists(dir / name)) << name;
}

}  // namespace
}  // namespace vdk
