#include <gtest/gtest.h>

#include "core/base/errors.h"
#include "core/settings/memory_registry.h"

namespace vdk {
namespace {

using Names = std::vector<std::string>;

TEST(Registry, ReadingRulesOfTheSettings) {
  TMemoryRegistry r;
  ASSERT_TRUE(r.OpenKey("\\Software\\Vendrake\\Test", true));
  r.WriteInteger("Number", -2);
  r.WriteString("Text", "abc");
  r.WriteDate("Date", 46082.5);
  r.WriteBinaryData("Short", "\x01\x02\x03\x04");

  EXPECT_EQ(r.ReadInteger("Number"), -2);
  EXPECT_TRUE(r.ReadBool("Number"));
  EXPECT_EQ(r.ReadString("Text"), "abc");
  EXPECT_EQ(r.ReadDate("Date"), 46082.5);
  EXPECT_EQ(r.GetDataType("Date"), TRegType::Binary);
  EXPECT_FALSE(r.GetDataType("Missing").has_value());

  // Numbers must be DWORDs, text must be text but may be missing, dates must
  // be 8 binary bytes.
  EXPECT_THROW(r.ReadInteger("Missing"), ERegistryError);
  EXPECT_THROW(r.ReadInteger("Text"), ERegistryError);
  EXPECT_EQ(r.ReadString("Missing"), "");
  EXPECT_THROW(r.ReadString("Number"), ERegistryError);
  EXPECT_THROW(r.ReadDate("Short"), ERegistryError);
  EXPECT_THROW(r.ReadDate("Number"), ERegistryError);
  EXPECT_THROW(r.ReadDate("Missing"), ERegistryError);
}

TEST(Registry, ValuesEnumerateInWriteOrder) {
  TMemoryRegistry r;
  ASSERT_TRUE(r.OpenKey("\\Software\\Vendrake\\Options\\FileMasks", true));
  Names expected;
  for (int i = 0; i <= 11; ++i) {
    r.WriteString(std::to_string(i), "mask");
    expected.push_back(std::to_string(i));
  }
  EXPECT_EQ(r.GetValueNames(), expected);  // "10" and "11" after "9"

  // Overwriting keeps the place, names compare without regard to case and
  // keep their first spelling, deleting closes the gap.
  r.WriteString("Z", "1");
  r.WriteString("a", "2");
  r.WriteString("z", "3");
  r.DeleteValue("5");
  expected.erase(expected.begin() + 5);
  expected.insert(expected.end(), {"Z", "a"});
  EXPECT_EQ(r.GetValueNames(), expected);
  EXPECT_EQ(r.ReadString("z"), "3");
  EXPECT_FALSE(r.ValueExists("5"));
}

TEST(Registry, KeysAreOpenedCreatedAndDeletedWithWhatLiesBelow) {
  TMemoryRegistry r;
  EXPECT_THROW(r.GetValueNames(), ERegistryError);  // no key open yet
  EXPECT_FALSE(r.OpenKey("\\Software\\Vendrake", false));
  ASSERT_TRUE(r.OpenKey("\\Software\\Vendrake\\Options\\Scheme", true));
  r.WriteInteger("SchemeType", 1);
  ASSERT_TRUE(r.OpenKey("\\Software\\Vendrake\\Options", false));  // parents were created
  r.WriteInteger("SeekDeep", 5);
  ASSERT_TRUE(r.OpenKey("\\Software\\Vendrake\\Options-Old", true));
  ASSERT_TRUE(r.OpenKey("software\\VENDRAKE\\options\\", false));  // same key, other spelling

  r.DeleteKey("\\Software\\Vendrake\\Options");
  EXPECT_FALSE(r.OpenKey("\\Software\\Vendrake\\Options\\Scheme", false));
  EXPECT_FALSE(r.OpenKey("\\Software\\Vendrake\\Options", false));
  EXPECT_TRUE(r.OpenKey("\\Software\\Vendrake\\Options-Old", false));  // a sibling, not below
  EXPECT_THROW(r.OpenKey("\\Software\\Bad\nKey", true), ERegistryError);
  EXPECT_THROW(r.WriteString("Bad\rName", "x"), ERegistryError);
}

TEST(Registry, KeysAreListedParentFirst) {
  TRegTree tree;
  tree.CreateKey("A-B");
  tree.CreateKey("a\\z");
  tree.CreateKey("A");
  Names paths;
  for (const auto& [id, key] : tree.Keys()) paths.push_back(key.Path());
  EXPECT_EQ(paths, (Names{"a", "a\\z", "A-B"}));  // "a" was created first, as the parent of "a\z"
}

}  // namespace
}  // namespace vdk
