// The project-list records and the rules an import applies to what a project
// server sends, read from the fixtures of tests/data.

#include <gtest/gtest.h>

#include <sstream>

#include "import/project_item.h"
#include "import/project_rules.h"
#include "support/project_lists.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

TProjectItems Load(const std::string& bytes) {
  std::istringstream in(bytes);
  TProjectItems items;
  items.LoadFromStream(in);
  return items;
}

TProjectItems LoadFixture(const std::string& name) { return Load(test::ReadFile(VENDRAKE_TEST_DATA + name)); }

TEST(ProjectItems, TwoWholeRecordsGiveTwoItems) {
  const TProjectItems items = LoadFixture("project_list_two_records.dat");
  ASSERT_EQ(items.Count(), 2);
  EXPECT_EQ(items.Items(0)->Number, 1);
  EXPECT_EQ(items.Items(0)->Name, "Space pictures");
  EXPECT_EQ(items.Items(0)->URL, "https://example.org/space/");
  EXPECT_EQ(items.Items(0)->Category, "Space");
  EXPECT_FALSE(items.Items(0)->Exists);
  EXPECT_EQ(items.Items(1)->Number, 2);
  EXPECT_EQ(items.Items(1)->Name, "Old maps");
  EXPECT_EQ(items.Items(1)->Category, "Maps");
}

TEST(ProjectItems, ATrailingPartialRecordIsStillAnItem) {
  const TProjectItems items = LoadFixture("project_list_partial_third.dat");
  ASSERT_EQ(items.Count(), 3);
  EXPECT_EQ(items.Items(2)->Number, 3);
  EXPECT_EQ(items.Items(2)->Name, "Cut here");  // 88 bytes of its name field were there
  EXPECT_EQ(items.Items(2)->URL, "");
  EXPECT_EQ(items.Items(2)->Category, "");

  // One byte past two records: an item of that byte alone.
  const TProjectItems oneByte =
      Load(test::ReadFile(std::string(VENDRAKE_TEST_DATA) + "project_list_two_records.dat") + std::string(1, '\x05'));
  ASSERT_EQ(oneByte.Count(), 3);
  EXPECT_EQ(oneByte.Items(2)->Number, 5);
  EXPECT_EQ(oneByte.Items(2)->Name, "");
}

TEST(ProjectItems, AnEmptyListIsEmptyAndLoadingClearsFirst) {
  TProjectItems items = LoadFixture("project_list_two_records.dat");
  std::istringstream empty("");
  items.LoadFromStream(empty);
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(LoadFixture("project_list_empty.dat").Count(), 0);
}

TEST(ProjectItems, FieldsEndAtTheirFirstNulOrTheirWidth) {
  std::string bytes = test::ProjectListBytes({{.name = "Name", .url = "https://a.example/", .category = "C"}});
  bytes.replace(4 + 4, 5, std::string("\0junk", 5));  // "Name" then NUL, then bytes after it
  std::string full(200, 'n');                         // no NUL at all in the URL field
  bytes.replace(204, 200, full);
  const TProjectItems items = Load(bytes);
  ASSERT_EQ(items.Count(), 1);
  EXPECT_EQ(items.Items(0)->Name, "Name");
  EXPECT_EQ(items.Items(0)->URL, full);
  EXPECT_EQ(items.Items(0)->Category, "C");
}

TEST(ProjectItems, IndexOfNameFindsTheFirstExactMatch) {
  const TProjectItems items = Load(test::ProjectListBytes(
      {{.name = "Twin", .number = 1}, {.name = "twin", .number = 2}, {.name = "Twin", .number = 3}}));
  EXPECT_EQ(items.IndexOfName("Twin"), 0);
  EXPECT_EQ(items.IndexOfName("twin"), 1);
  EXPECT_EQ(items.IndexOfName("TWIN"), -1);
  EXPECT_EQ(items.IndexOfName(""), -1);
}

TEST(ProjectRules, OnlyTheTwoGoodRecordsOfTheHostileListAreImportable) {
  std::vector<std::string> importable;
  for (const auto& item : LoadFixture("project_list_hostile.dat"))
    if (IsImportable(*item)) importable.push_back(item->Name);
  EXPECT_EQ(importable, (std::vector<std::string>{"Good one", "Good two"}));
}

TEST(ProjectRules, NamesCategoriesURLsAndListNames) {
  for (const char* good : {"Space pictures", "a", " padded ", "Ünïcode"}) EXPECT_TRUE(IsValidProjectName(good)) << good;
  for (const char* bad : {"", "   ", "../x", "a/b", "a.b", "a:b", "a\\b", "tab\there", "del\x7f"})
    EXPECT_FALSE(IsValidProjectName(bad)) << bad;

  for (const std::string& good :
       std::vector<std::string>{"Space", "Space and more", "x.y", "...", std::string(255, 'c')})
    EXPECT_TRUE(IsValidCategory(good)) << good;
  for (const std::string& bad :
       std::vector<std::string>{"", " ", ".", "..", "/etc", "a/b", "a\\b", "c:", "esc\x1b", std::string(256, 'c')})
    EXPECT_FALSE(IsValidCategory(bad)) << bad;

  for (const char* good : {"https://a.example/", "HTTP://a.example", "http://127.0.0.1:8080/x?y=1"})
    EXPECT_TRUE(IsValidProjectURL(good)) << good;
  for (const char* bad : {"", "https://", "https:///path", "file:///etc/passwd", "ftp://a.example/",
                          "javascript:alert(1)", "https://a.example/a b", "https://a.example/\n", "a.example"})
    EXPECT_FALSE(IsValidProjectURL(bad)) << bad;

  for (const char* good : {"a.dat", "with space.dat", "...dat"}) EXPECT_TRUE(IsValidListName(good)) << good;
  for (const std::string& bad :
       std::vector<std::string>{"", ".", "..", "../x", "a/b", "a\\b", "bell\a", std::string(256, 'l')})
    EXPECT_FALSE(IsValidListName(bad)) << bad;
}

}  // namespace
}  // namespace vdk
