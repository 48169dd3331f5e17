// The delete-by criteria as tables, over a "Saved" folder the tests build.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "library/delete_by.h"
#include "library/image_library.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::WriteFile;

// Saved/ holds pictures of known sizes, a sub-folder, a link, a FIFO and a
// file still being downloaded; a sentinel lies beside Saved/.
class DeleteBy : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir(Saved().c_str(), 0700);
    File("tiny.gif", 100, 20, 20);          // 0 KB
    File("ten.jpg", 10 * 1024, 299, 500);   // 10 KB
    File("edge.jpg", 11 * 1024 - 1, 1, 1);  // 10 KB
    File("eleven.png", 11 * 1024, 300, 299);
    File("twenty.GIF", 20 * 1024 + 1023, 500, 500);
    File("big.bmp", 21 * 1024, -1, -1);  // undecodable
    File("unknown.jpg", 1024, 0, 0, false);
    ::mkdir((dir_ / "Saved/sub.gif").c_str(), 0700);
    WriteFile(dir_ / "sentinel.gif", "keep");
    ::symlink((dir_ / "sentinel.gif").c_str(), (dir_ / "Saved/link.gif").c_str());
    ::mkfifo((dir_ / "Saved/pipe.gif").c_str(), 0600);
    WriteFile(dir_ / "Saved/coming.gif!!wr", "partial");
    for (const char* entry : {"sub.gif", "link.gif", "pipe.gif"}) rows_.push_back(Row(entry, 0));
  }

  std::string Saved() const { return dir_ / "Saved/"; }

  void File(const std::string& name, int bytes, int width, int height, bool catalogued = true) {
    WriteFile(Saved() + name, std::string(std::size_t(bytes), 'x'));
    rows_.push_back(Row(name, bytes));
    if (!catalogued) return;
    auto record = std::make_shared<TImageDetail>();
    record->FileName = Saved() + name;
    record->Width = width;
    record->Height = height;
    library_.Add(record);
  }

  TSavedFile Row(const std::string& name, int bytes) const {
    return {name, std::string(ExtOf(name)), KilobyteText(bytes), Saved() + name};
  }
  static std::string_view ExtOf(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  }

  std::vector<std::string> Names(const TDeleteByChoice& choice, const std::string& folder) const {
    std::vector<std::string> names;
    for (const std::string& path : DeleteByCandidates(choice, rows_, library_, folder))
      names.push_back(path.substr(Saved().size()));
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir dir_;
  TImageLibrary library_;
  std::vector<TSavedFile> rows_;
};

struct CriterionCase {
  const char* what;
  TDeleteByChoice choice;
  std::vector<std::string> picked;
};

TDeleteByChoice ImageSize(int width, int height) {
  TDeleteByChoice choice;
  choice.Width = width;
  choice.Height = height;
  return choice;
}

TDeleteByChoice SmallThan(std::string value) {
  TDeleteByChoice choice;
  choice.Criterion = TDeleteByCriterion::SmallThan;
  choice.SmallThan = std::move(value);
  return choice;
}

TDeleteByChoice Range(std::string from, std::string to) {
  TDeleteByChoice choice;
  choice.Criterion = TDeleteByCriterion::Range;
  choice.SmallRange = std::move(from);
  choice.BigRange = std::move(to);
  return choice;
}

TDeleteByChoice Filter(std::string pattern) {
  TDeleteByChoice choice;
  choice.Criterion = TDeleteByCriterion::FileFilter;
  choice.Filter = std::move(pattern);
  return choice;
}

class DeleteByCriteria : public DeleteBy, public ::testing::WithParamInterface<CriterionCase> {};

TEST_P(DeleteByCriteria, PicksExactlyTheseRegularFiles) {
  const CriterionCase& c = GetParam();
  EXPECT_EQ(Names(c.choice, Saved()), c.picked) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeleteByCriteria,
    ::testing::Values(
        // Both dimensions strictly below; unknown files passed over, -1 x -1 taken.
        CriterionCase{"image size 300 x 300", ImageSize(300, 300), {"big.bmp", "edge.jpg", "tiny.gif"}},
        CriterionCase{
            "image size 301 x 501", ImageSize(301, 501), {"big.bmp", "edge.jpg", "eleven.png", "ten.jpg", "tiny.gif"}},
        CriterionCase{"image size 0 x 0", ImageSize(0, 0), {"big.bmp"}},
        // The shown KB compared with <=: 10 takes everything under 11264 bytes.
        CriterionCase{"small than 10", SmallThan("10"), {"edge.jpg", "ten.jpg", "tiny.gif", "unknown.jpg"}},
        CriterionCase{"small than with blanks", SmallThan(" 0 "), {"tiny.gif"}},
        CriterionCase{"small than not a number", SmallThan("ten"), {"tiny.gif"}},
        CriterionCase{"range 10 to 20 includes both ends",
                      Range("10", "20"),
                      {"edge.jpg", "eleven.png", "ten.jpg", "twenty.GIF"}},
        CriterionCase{"range reversed picks nothing", Range("20", "10"), {}},
        // Names without regard to case; never the folder, the link, the FIFO
        // or the partial download.
        CriterionCase{"filter *.gif", Filter("*.gif"), {"tiny.gif", "twenty.GIF"}},
        CriterionCase{"filter ?en.*", Filter("?en.*"), {"ten.jpg"}},
        CriterionCase{"filter *.*",
                      Filter("*.*"),
                      {"big.bmp", "edge.jpg", "eleven.png", "ten.jpg", "tiny.gif", "twenty.GIF", "unknown.jpg"}},
        CriterionCase{"filter climbing out", Filter("../*"), {}},
        CriterionCase{"filter with a backslash", Filter("..\\*"), {}},
        CriterionCase{"filter naming /etc", Filter("/etc/*"), {}}));

TEST_F(DeleteBy, TheFilterNeedsATaskFolder) {
  EXPECT_TRUE(Names(Filter("*.*"), "").empty());
  EXPECT_EQ(Names(SmallThan("0"), ""), std::vector<std::string>{"tiny.gif"});
}

TEST(DeleteByPattern, OnlyBareNamePatternsPass) {
  for (const char* bare : {"*.gif", "tn*.*", "?fie.*", "a.b.c", "*", ""}) EXPECT_TRUE(IsBareNamePattern(bare)) << bare;
  for (const char* refused : {"../*", "..\\*", "/etc/*", "sub/*.gif", "c:*.gif", "x..gif", "..", "a\\b"})
    EXPECT_FALSE(IsBareNamePattern(refused)) << refused;
}

}  // namespace
}  // namespace vdk
