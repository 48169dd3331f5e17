#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <stop_token>

#include "library/saved_files.h"
#include "library/saved_files_order.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::SettleFolder;
using test::WriteFile;

std::vector<std::string> Captions(const std::vector<TSavedFile>& files) {
  std::vector<std::string> captions;
  for (const auto& file : files) captions.push_back(file.Caption);
  return captions;
}

TEST(SavedFiles, ListsEntriesButNotFilesBeingDownloaded) {
  test::TempDir dir;
  WriteFile(dir / "done.jpg", std::string(2048, 'x'));
  WriteFile(dir / "coming.jpg!!wr", "partial");
  WriteFile(dir / "other.png!!wr", "partial");
  ::mkdir((dir / "sub").c_str(), 0700);
  ASSERT_EQ(::mkfifo((dir / "pipe.gif").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/nonexistent/target", (dir / "dangling.jpg").c_str()), 0);

  std::vector<TSavedFile> files = ListSavedFolder(dir.Path());
  std::vector<std::string> captions = Captions(files);
  std::sort(captions.begin(), captions.end());
  EXPECT_EQ(captions, (std::vector<std::string>{"dangling.jpg", "done.jpg", "pipe.gif", "sub"}));
  const auto done = std::find_if(files.begin(), files.end(), [](const auto& f) { return f.Caption == "done.jpg"; });
  EXPECT_EQ(done->Ext, ".jpg");
  EXPECT_EQ(done->SizeText, "2 KB");
  EXPECT_EQ(done->Path, dir / "done.jpg");
  const auto sub = std::find_if(files.begin(), files.end(), [](const auto& f) { return f.Caption == "sub"; });
  EXPECT_EQ(sub->Ext, "");
  EXPECT_EQ(sub->SizeText, "0 KB");
}

TEST(SavedFiles, ListsInTheOrderTheFileSystemGives) {
  test::TempDir dir;
  for (const char* name : {"c.jpg", "a.jpg", "b.JPG", "d"}) WriteFile(dir / name, "x");
  std::vector<std::string> expected;
  DIR* raw = ::opendir(dir.Path().c_str());
  while (const dirent* entry = ::readdir(raw))
    if (entry->d_name[0] != '.') expected.push_back(entry->d_name);
  ::closedir(raw);
  EXPECT_EQ(Captions(ListSavedFolder(dir.Path())), expected);
}

TEST(SavedFiles, MissingFolderListsNothing) { EXPECT_TRUE(ListSavedFolder("/nonexistent/Saved/").empty()); }

TEST(SavedFiles, AStoppedListingEndsAtOnce) {
  test::TempDir dir;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) WriteFile(dir / name, "x");
  std::stop_source stop;
  stop.request_stop();
  EXPECT_TRUE(ListSavedFolder(dir.Path(), stop.get_token()).empty());
}

TEST(FolderStamp, HoldsUntilAnEntryIsAddedRemovedOrRenamed) {
  test::TempDir dir;
  WriteFile(dir / "a.jpg", "x");
  const std::vector<std::function<void()>> changes{
      [&] { WriteFile(dir / "b.jpg", "x"); },
      [&] { ::rename((dir / "b.jpg").c_str(), (dir / "c.jpg").c_str()); },
      [&] { ::unlink((dir / "c.jpg").c_str()); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SettleFolder(dir.Path());
    const TFolderStamp before = StampFolder(dir.Path());
    ASSERT_TRUE(before.Settled);
    EXPECT_TRUE(before.Holds(StampFolder(dir.Path())));
    changes[i]();
    EXPECT_FALSE(before.Holds(StampFolder(dir.Path()))) << "change " << i;
  }
  SettleFolder(dir.Path());
  const TFolderStamp before = StampFolder(dir.Path());
  WriteFile(dir / "a.jpg", "rewritten in place, longer");
  EXPECT_TRUE(before.Holds(StampFolder(dir.Path()))) << "the entries are the same";
}

TEST(FolderStamp, AFolderJustChangedNeverHolds) {
  test::TempDir dir;
  WriteFile(dir / "a.jpg", "x");
  const TFolderStamp fresh = StampFolder(dir.Path());
  EXPECT_FALSE(fresh.Settled);
  EXPECT_FALSE(fresh.Holds(StampFolder(dir.Path())));
}

TEST(FolderStamp, AMissingFolderHoldsUntilItIsMade) {
  test::TempDir dir;
  const std::string folder = dir / "Saved";
  const TFolderStamp missing = StampFolder(folder);
  EXPECT_FALSE(missing.Exists);
  EXPECT_TRUE(missing.Holds(StampFolder(folder)));
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  SettleFolder(folder);
  EXPECT_FALSE(missing.Holds(StampFolder(folder)));
}

TEST(SavedFiles, SizeTextsAreWholeKilobytes) {
  EXPECT_EQ(KilobyteText(0), "0 KB");
  EXPECT_EQ(KilobyteText(1023), "0 KB");
  EXPECT_EQ(KilobyteText(1024), "1 KB");
  EXPECT_EQ(KilobyteText(5LL * 1024 * 1024 * 1024), "5242880 KB");
  EXPECT_EQ(KilobytesOf("12 KB"), 12);
  EXPECT_EQ(KilobytesOf("x KB"), 0);
  EXPECT_EQ(KilobytesOf("KB"), 0);
}

TSavedFile Row(std::string caption, std::string ext, std::string size) {
  return {std::move(caption), std::move(ext), std::move(size), ""};
}

TEST(ImagesOrder, HeaderClicksCycleTheArrowAndClearTheOthers) {
  TImagesOrder order;
  EXPECT_EQ(order.Sort(), TImagesSort::Unsorted);
  order.ClickColumn(2);
  EXPECT_EQ(order.Sort(), TImagesSort::BySize);
  EXPECT_EQ(order.Arrow(2), TSortArrow::Ascending);
  order.ClickColumn(2);
  EXPECT_EQ(order.Arrow(2), TSortArrow::Descending);
  order.ClickColumn(2);
  EXPECT_EQ(order.Arrow(2), TSortArrow::Ascending);
  order.ClickColumn(0);
  EXPECT_EQ(order.Sort(), TImagesSort::ByName);
  EXPECT_EQ(order.Arrow(0), TSortArrow::Ascending);
  EXPECT_EQ(order.Arrow(2), TSortArrow::None);
}

TEST(ImagesOrder, SortActionsKeepTheArrows) {
  TImagesOrder order;
  order.ClickColumn(1);
  order.ClickColumn(1);
  order.Choose(TImagesSort::ByName);
  EXPECT_EQ(order.Arrow(1), TSortArrow::Descending);
  EXPECT_TRUE(order.AutoSort());
  // Name has no arrow: ascending by name.
  EXPECT_LT(order.Compare(Row("a", ".z", "1 KB"), Row("b", ".a", "1 KB")), 0);
  // Type shows the descending arrow: the comparison is negated.
  order.Choose(TImagesSort::ByType);
  EXPECT_GT(order.Compare(Row("a", ".a", "1 KB"), Row("b", ".b", "1 KB")), 0);
  order.Choose(TImagesSort::Unsorted);
  EXPECT_FALSE(order.AutoSort());
}

TEST(ImagesOrder, NamesCompareAsBytesAndSizesAsNumbers) {
  TImagesOrder order;
  order.Choose(TImagesSort::ByName);
  EXPECT_LT(order.Compare(Row("B.jpg", "", ""), Row("a.jpg", "", "")), 0);         // case-sensitive
  EXPECT_GT(order.Compare(Row("\xC3\xA9.jpg", "", ""), Row("z.jpg", "", "")), 0);  // high bytes last
  EXPECT_EQ(order.Compare(Row("a", "", ""), Row("a", "", "")), 0);
  order.Choose(TImagesSort::BySize);
  EXPECT_LT(order.Compare(Row("a", "", "9 KB"), Row("b", "", "10 KB")), 0);
  EXPECT_EQ(order.Compare(Row("a", "", "bad"), Row("b", "", "0 KB")), 0);
}

TEST(ImagesOrder, UnsortedTreatsEveryTwoRowsAsEqual) {
  TImagesOrder order;
  order.ClickColumn(0);
  order.Choose(TImagesSort::Unsorted);
  EXPECT_EQ(order.Compare(Row("a", ".a", "1 KB"), Row("b", ".b", "2 KB")), 0);
}

}  // namespace
}  // namespace vdk
