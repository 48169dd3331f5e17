// scripts/make-project-lists.py writes the bytes the format page describes
// (compared with the fixtures, which are assembled apart from it), and the
// lists the repository ships are imported whole.

#include <gtest/gtest.h>

#include <sstream>

#include "import/project_item.h"
#include "import/project_rules.h"
#include "import/project_update_ctrl.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

const std::string kData = VENDRAKE_TEST_DATA;
const std::string kRepository = kData + "../../";

int MakeLists(const std::string& source, const std::string& output) {
  return test::RunProgram({"python3", kRepository + "scripts/make-project-lists.py", source, output});
}

TEST(ProjectListsScript, WritesTheDocumentedBytes) {
  test::TempDir out;
  ASSERT_EQ(MakeLists(kData + "project_source.txt", out.Path()), 0);
  EXPECT_EQ(test::ReadFile(out / "index.dat"), test::ReadFile(kData + "project_index_lf.dat"));
  EXPECT_EQ(test::ReadFile(out / "a.dat"), test::ReadFile(kData + "project_list_two_records.dat"));
  EXPECT_EQ(test::ReadFile(out / "b.dat"), test::ReadFile(kData + "project_list_empty.dat"));
}

TEST(ProjectListsScript, RefusesWhatTheImportWouldRefuse) {
  test::TempDir out;
  for (const char* line : {"Cat | www.example.org | https://a.example/", "Cat | Name | ftp://a.example/",
                           ".. | Name | https://a.example/", "Cat | Name", "[../up.dat]"}) {
    SCOPED_TRACE(line);
    test::WriteFile(out / "source.txt", std::string("[a.dat]\n") + line + "\n");
    EXPECT_NE(MakeLists(out / "source.txt", out / "served"), 0);
    EXPECT_FALSE(test::FileExists(out / "served/index.dat"));
  }
}

TEST(ProjectListsScript, TheShippedListsAreImportedWhole) {
  test::TempDir out;
  ASSERT_EQ(MakeLists(kRepository + "projects/projects.txt", out.Path()), 0);
  std::vector<std::string> lists;
  TProjectUpdateCtrl::AppendIndexLines(test::ReadFile(out / "index.dat"), lists);
  ASSERT_FALSE(lists.empty());
  int projects = 0;
  for (const std::string& list : lists) {
    SCOPED_TRACE(list);
    EXPECT_TRUE(IsValidListName(list));
    std::istringstream in(test::ReadFile(out / list));
    TProjectItems items;
    items.LoadFromStream(in);
    EXPECT_GT(items.Count(), 0);
    for (const auto& item : items) {
      EXPECT_TRUE(IsImportable(*item)) << item->Name;
      EXPECT_TRUE(item->URL.starts_with("https://")) << item->URL;
      ++projects;
    }
  }
  EXPECT_GE(projects, 20);
}

}  // namespace
}  // namespace vdk
