// The collect tool's listing, and its "&Select" rule as a table.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "library/collect_list.h"
#include "library/collect_rule.h"
#include "library/image_library.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

struct SelectCase {
  const char* what;
  std::string_view ext;
  std::string_view size;
  std::optional<TPictureSize> dimensions;
  bool limitImage;
  bool limitFile;
  bool selected;
};

constexpr TPictureSize kBig{400, 400};

class CollectSelect : public ::testing::TestWithParam<SelectCase> {};

TEST_P(CollectSelect, FollowsTheFormatsAndBothLimits) {
  const SelectCase& c = GetParam();
  TCollectFilter filter;  // the defaults: every format, 300 x 300, 100 KB
  filter.LimitImageSize = c.limitImage;
  filter.LimitFileSize = c.limitFile;
  EXPECT_EQ(CollectSelects(filter, c.ext, c.size, c.dimensions), c.selected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CollectSelect,
    ::testing::Values(
        SelectCase{"a listed format", ".jpg", "5 KB", std::nullopt, false, false, true},
        SelectCase{"PHOTO.JPG is governed by .jpg", ".JPG", "5 KB", std::nullopt, false, false, true},
        SelectCase{"every one of the nine", ".WMF", "5 KB", std::nullopt, false, false, true},
        SelectCase{"an extension outside the nine", ".webp", "500 KB", kBig, false, false, false},
        SelectCase{"no extension (a sub-folder)", "", "0 KB", std::nullopt, false, false, false},
        SelectCase{"the image limit met exactly", ".png", "5 KB", TPictureSize{300, 300}, true, false, true},
        SelectCase{"one pixel too narrow", ".png", "5 KB", TPictureSize{299, 900}, true, false, false},
        SelectCase{"one pixel too low", ".png", "5 KB", TPictureSize{900, 299}, true, false, false},
        SelectCase{"a file the library does not know", ".png", "500 KB", std::nullopt, true, false, false},
        SelectCase{"an undecodable file (-1 x -1)", ".png", "500 KB", TPictureSize{-1, -1}, true, false, false},
        SelectCase{"the size limit met exactly", ".gif", "100 KB", std::nullopt, false, true, true},
        SelectCase{"below the size limit", ".gif", "99 KB", std::nullopt, false, true, false},
        SelectCase{"a size text that is not a number", ".gif", "big KB", std::nullopt, false, true, false},
        SelectCase{"400 x 400 of 90 KB under both limits", ".jpg", "90 KB", kBig, true, true, false},
        SelectCase{"150 KB of 200 x 400 under both limits", ".jpg", "150 KB", TPictureSize{200, 400}, true, true,
                   false},
        SelectCase{"large enough both ways", ".jpg", "150 KB", kBig, true, true, true}));

TEST(CollectSelect, AFormatWhoseBoxIsClearedIsNotSelected) {
  TCollectFilter filter;
  filter.Formats[1] = false;  // ".jpg"
  EXPECT_FALSE(CollectSelects(filter, ".Jpg", "5 KB", std::nullopt));
  EXPECT_TRUE(CollectSelects(filter, ".jpeg", "5 KB", std::nullopt));
}

TEST(CollectSelect, AZeroMinimumTakesUnknownFilesButNotUndecodableOnes) {
  TCollectFilter filter;
  filter.LimitImageSize = true;
  filter.MinWidth = filter.MinHeight = 0;
  EXPECT_TRUE(CollectSelects(filter, ".bmp", "1 KB", std::nullopt));
  EXPECT_FALSE(CollectSelects(filter, ".bmp", "1 KB", TPictureSize{-1, -1}));
}

// Sizes from the disk, dimensions from the library, sub-folders listed,
// files still being downloaded left out.
TEST(CollectList, ListsTheFolderWithTheLibrarysDimensions) {
  test::TempDir dir;
  test::WriteFile(dir / "known.JPG", std::string(2048 + 1023, 'k'));
  test::WriteFile(dir / "unknown.png", "u");
  test::WriteFile(dir / "broken.gif", "b");
  test::WriteFile(dir / "coming.jpg!!wr", "partial");
  ::mkdir((dir / "sub").c_str(), 0700);
  TImageLibrary library;
  for (const auto& [name, size] : {std::pair{"known.JPG", TPictureSize{640, 480}}, {"broken.gif", TPictureSize{}}}) {
    auto record = std::make_shared<TImageDetail>();
    record->FileName = dir / name;
    record->Width = size.Width;
    record->Height = size.Height;
    library.Add(record);
  }
  int reported = 0;
  std::map<std::string, TCollectRow> byName;
  for (TCollectRow& row : ListCollectRows(dir.Path(), library, {}, [&](int done) { reported = done; }))
    byName.emplace(row.File.Caption, std::move(row));
  ASSERT_EQ(byName.size(), 4u);
  EXPECT_EQ(reported, 4);
  const TCollectRow& known = byName.at("known.JPG");
  EXPECT_EQ(known.File.Ext, ".JPG");
  EXPECT_EQ(known.File.SizeText, "2 KB");
  EXPECT_EQ(known.File.Path, dir / "known.JPG");
  EXPECT_EQ(known.Dimensions, (TPictureSize{640, 480}));
  EXPECT_EQ(byName.at("broken.gif").Dimensions, (TPictureSize{-1, -1}));
  EXPECT_FALSE(byName.at("unknown.png").Dimensions.has_value());
  EXPECT_EQ(byName.at("sub").File.SizeText, "0 KB");
}

TEST(CollectList, StopsBetweenRows) {
  test::TempDir dir;
  for (int i = 0; i < 5; ++i) test::WriteFile(dir / (std::to_string(i) + ".jpg"), "x");
  std::stop_source stop;
  const auto rows = ListCollectRows(dir.Path(), TImageLibrary(), stop.get_token(), [&](int done) {
    if (done == 2) stop.request_stop();
  });
  EXPECT_EQ(rows.size(), 2u);
}

}  // namespace
}  // namespace vdk
