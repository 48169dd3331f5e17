// "Verify" over records whose files exist, are gone, or are no files at all.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "library/image_library.h"
#include "library/library_verify.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

TImageDetailPtr Record(const std::string& path) {
  auto record = std::make_shared<TImageDetail>();
  record->FileName = path;
  return record;
}

TEST(LibraryVerify, RemovesExactlyTheRecordsWhoseFilesAreGone) {
  test::TempDir dir;
  test::WriteFile(dir / "here.jpg", "x");
  test::WriteFile(dir / "target.jpg", "x");
  ::mkdir((dir / "folder.jpg").c_str(), 0700);
  ::symlink((dir / "target.jpg").c_str(), (dir / "link.jpg").c_str());
  ::symlink((dir / "nowhere.jpg").c_str(), (dir / "dangling.jpg").c_str());
  ::mkfifo((dir / "pipe.jpg").c_str(), 0600);

  TImageLibrary library;
  const std::vector<std::string> paths = {
      dir / "here.jpg", dir / "gone.jpg",     dir / "folder.jpg",
      dir / "link.jpg",
      dir / "here.jpg",  // a duplicate record of a file that is there
      dir / "pipe.jpg", dir / "dangling.jpg", "",
      dir / "gone.jpg",
  };
  std::vector<TImageDetailPtr> listed;
  for (const std::string& path : paths) {
    listed.push_back(Record(path));
    library.Add(listed.back());
  }
  const TImageDetailPtr notListed = Record(dir / "added-meanwhile.jpg");
  library.Add(notListed);

  const std::vector<int> invalid = FindInvalidRecords(listed);
  EXPECT_EQ(invalid, (std::vector<int>{1, 2, 5, 6, 7, 8}));
  std::vector<TImageDetailPtr> gone;
  for (const int position : invalid) gone.push_back(listed[std::size_t(position)]);
  EXPECT_EQ(library.RemoveRecords(gone), 6);
  ASSERT_EQ(library.Count(), 4);
  EXPECT_EQ(library.Items(0), listed[0]);
  EXPECT_EQ(library.Items(1), listed[3]);
  EXPECT_EQ(library.Items(2), listed[4]);
  EXPECT_EQ(library.Items(3), notListed);
  EXPECT_EQ(library.FindByName(dir / "gone.jpg"), nullptr);
  EXPECT_EQ(library.FindByName(dir / "here.jpg"), listed[0]);

  EXPECT_TRUE(FindInvalidRecords({listed[0], listed[3]}).empty()) << "nothing left to remove";
}

TEST(LibraryVerify, ReportsProgressAndStopsBetweenRecords) {
  std::vector<TImageDetailPtr> listed;
  for (int i = 0; i < 10; ++i) listed.push_back(Record("/nonexistent/vdk/" + std::to_string(i) + ".jpg"));
  std::stop_source stop;
  std::vector<int> reported;
  const std::vector<int> found = FindInvalidRecords(listed, stop.get_token(), [&](int done) {
    reported.push_back(done);
    if (done == 4) stop.request_stop();
  });
  EXPECT_EQ(found, (std::vector<int>{0, 1, 2, 3})) << "what was found before the stop";
  EXPECT_EQ(reported, (std::vector<int>{1, 2, 3, 4}));
}

TEST(LibraryVerify, OnlyRegularFilesCountAsThere) {
  test::TempDir dir;
  test::WriteFile(dir / "a.png", "x");
  EXPECT_TRUE(CataloguedFileExists(dir / "a.png"));
  EXPECT_FALSE(CataloguedFileExists(dir.Path()));
  EXPECT_FALSE(CataloguedFileExists(dir / "b.png"));
  EXPECT_FALSE(CataloguedFileExists(""));
}

}  // namespace
}  // namespace vdk
