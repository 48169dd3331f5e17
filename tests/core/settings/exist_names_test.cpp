#include <gtest/gtest.h>

#include "core/settings/exist_names.h"
#include "core/settings/memory_registry.h"

namespace vdk {
namespace {

using Names = std::vector<std::string>;

constexpr std::string_view kKey = "\\Software\\Vendrake\\ExistPrjs";

class ExistNamesTest : public ::testing::Test {
 protected:
  // The (value name, data) pairs of the key in enumeration order.
  std::vector<std::pair<std::string, std::string>> Stored() {
    EXPECT_TRUE(store_.OpenKey(kKey, false));
    std::vector<std::pair<std::string, std::string>> values;
    for (const std::string& name : store_.GetValueNames()) values.emplace_back(name, store_.ReadString(name));
    return values;
  }

  TMemoryRegistry store_;
};

TEST_F(ExistNamesTest, LoadsInStoreOrderAndSkipsValuesThatAreNotText) {
  TExistNames empty(store_);
  EXPECT_TRUE(empty.Names.empty());
  EXPECT_TRUE(store_.OpenKey(kKey, false));  // created when missing

  Names many;
  for (int i = 0; i < 12; ++i) many.push_back("site" + std::to_string(i));
  empty.Save(many);
  store_.WriteInteger("12", 5);
  EXPECT_EQ(TExistNames(store_).Names, many);  // "10" and "11" follow "9"
}

TEST_F(ExistNamesTest, RemoveKnownTakesTheFirstMatchOfEachNameInAnyCase) {
  TExistNames names(store_);
  names.Save({"Alpha", "beta", "beta"});
  Names offered = {"gamma", "ALPHA", "alpha", "Beta", "BETA", "beta", "delta"};
  names.RemoveKnown(offered);
  EXPECT_EQ(offered, (Names{"gamma", "alpha", "beta", "delta"}));
}

TEST_F(ExistNamesTest, SaveAppendsAfterTheNamesStoredByOthers) {
  TExistNames first(store_);
  first.Save({"a", "b"});
  TExistNames stale(store_);
  TExistNames other(store_);
  other.Save({"c"});
  stale.Save({"d"});
  EXPECT_EQ(stale.Names, (Names{"a", "b", "c", "d"}));
  EXPECT_EQ(Stored(),
            (std::vector<std::pair<std::string, std::string>>{{"0", "a"}, {"1", "b"}, {"2", "c"}, {"3", "d"}}));
}

TEST_F(ExistNamesTest, ForgetDeletesEveryExactMatch) {
  TExistNames names(store_);
  names.Save({"Site", "other", "Site", "site"});
  names.Forget("Site");
  EXPECT_EQ(names.Names, (Names{"other", "site"}));
  EXPECT_EQ(Stored(), (std::vector<std::pair<std::string, std::string>>{{"1", "other"}, {"3", "site"}}));

  // A later save renumbers over the gaps without losing a name.
  TExistNames(store_).Save({"new"});
  Names offered = {"other", "site", "new", "unknown"};
  TExistNames(store_).RemoveKnown(offered);
  EXPECT_EQ(offered, Names{"unknown"});
}

}  // namespace
}  // namespace vdk
