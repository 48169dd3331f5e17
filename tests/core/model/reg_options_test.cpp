#include <gtest/gtest.h>

#include <sstream>

#include "core/base/errors.h"
#include "core/base/fixed_fields.h"
#include "core/model/reg_options.h"

namespace vdk {
namespace {

std::string Save(const TRegOptions& options) {
  std::ostringstream out;
  options.SaveToStream(out);
  return out.str();
}

TRegOptions Load(const std::string& bytes) {
  TRegOptions options;
  std::istringstream in(bytes);
  options.LoadFromStream(in);
  return options;
}

TEST(RegOptions, NewOptionsRoundTripWithEmptyListsEndedInSlotZero) {
  const TRegOptions fresh;
  const std::string block = Save(fresh);
  ASSERT_EQ(block.size(), TRegOptions::kBlockSize);
  EXPECT_EQ(GetText(block, 5149, 1024), "(end)");
  EXPECT_EQ(GetText(block, 267293, 1024), "(end)");
  const TRegOptions back = Load(block);
  EXPECT_EQ(back, fresh);  // ProjectPath and DefaultTaskAdded keep their defaults
  EXPECT_TRUE(back.FileMasks.empty());
  EXPECT_TRUE(back.ExcludeFiles.empty());
}

TEST(RegOptions, EveryStoredFieldRoundTrips) {
  TRegOptions o;
  o.UseProxyServer = true;
  o.AutoSaveLog = false;
  o.AutoShutDown = true;
  o.FileMinSize = -3;
  o.FileMaxSize = 2000000000;
  o.SeekDeep = 0;
  o.ProxyServerPort = 3128;
  o.DefaultFolder = "/home/u/Images/Downloaded Files/site/";
  o.DefaultLogFolder = "/home/u/Images/Logs/";
  o.ProxyServerAddr = "proxy.lan";
  o.Scheme = {3, 2, 45000.0, 0.75};
  o.ExcludeFiles = {"logo.gif", "spacer.gif"};
  o.FileMasks = {"gif, Saved", "jpg, Pics"};
  o.EnableFileLimit = false;
  o.NeedToLogin = true;
  o.UserName = "user";
  o.Password = "p\xE4ss";
  o.TimeOut = 30;
  TRegOptions back = Load(Save(o));
  EXPECT_EQ(back, o);
}

TEST(RegOptions, ProjectPathAndDefaultTaskAddedAreNotStored) {
  TRegOptions o;
  o.ProjectPath = "/elsewhere/";
  o.DefaultTaskAdded = true;
  const TRegOptions back = Load(Save(o));
  EXPECT_EQ(back.ProjectPath, TRegOptions().ProjectPath);
  EXPECT_FALSE(back.DefaultTaskAdded);
}

TEST(RegOptions, ListsHoldAtMost256EntriesAndFullListsHaveNoTerminator) {
  TRegOptions o;
  for (int i = 0; i < 256; ++i) o.FileMasks.push_back("e" + std::to_string(i) + ", F");
  const std::string block = Save(o);
  EXPECT_EQ(GetText(block, 5149 + 255 * 1024, 1024), "e255, F");
  EXPECT_EQ(Load(block).FileMasks, o.FileMasks);

  o.FileMasks.push_back("dropped, F");
  EXPECT_EQ(Load(Save(o)).FileMasks.size(), 256u);
}

TEST(RegOptions, AnEntryReadingEndEndsItsList) {
  TRegOptions o;
  o.ExcludeFiles = {"a.gif", "(end)", "b.gif"};
  EXPECT_EQ(Load(Save(o)).ExcludeFiles, std::vector<std::string>{"a.gif"});
}

TEST(RegOptions, LongTextIsCutTo1023Bytes) {
  TRegOptions o;
  o.UserName = std::string(2000, 'u');
  EXPECT_EQ(Load(Save(o)).UserName, std::string(1023, 'u'));
}

TEST(RegOptions, ShortBlockIsAFormatError) {
  const std::string block = Save(TRegOptions());
  EXPECT_THROW(Load(block.substr(0, 1000)), EFormatError);
}

TEST(RegOptions, FindMaskComparesTrimmedExtensionsWithoutCase) {
  TRegOptions o;
  o.FileMasks = {"gif, Saved", "  JPG  ,  Pics "};
  EXPECT_EQ(o.FindMask("jpg"), 1);
  EXPECT_EQ(o.FindMask("JPG"), 1);
  EXPECT_EQ(o.FindMask(" gif "), 0);
  EXPECT_EQ(SplitMask(o.FileMasks[1]).second, "Pics");
  EXPECT_EQ(o.FindMask("png"), -1);
}

TEST(SplitMask, SplitsAtTheFirstComma) {
  EXPECT_EQ(SplitMask("gif, Saved"), (std::pair<std::string, std::string>{"gif", "Saved"}));
  EXPECT_EQ(SplitMask("a,b,c"), (std::pair<std::string, std::string>{"a", "b,c"}));
  EXPECT_EQ(SplitMask("nocomma"), (std::pair<std::string, std::string>{"", ""}));
  EXPECT_EQ(SplitMask(" , "), (std::pair<std::string, std::string>{"", ""}));
}

}  // namespace
}  // namespace vdk
