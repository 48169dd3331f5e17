#include <gtest/gtest.h>

#include "core/base/errors.h"
#include "platform/reg_text.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

std::string Fixture(const std::string& name) { return test::ReadFile(std::string(VENDRAKE_TEST_DATA) + name); }

// Quotes, backslashes, non-ASCII bytes, empty values, a text with a line
// break and a type the store does not interpret: the tree of
// registry_escapes.reg.
TRegTree EscapesTree() {
  TRegTree tree;
  TRegKey& key = tree.CreateKey("Software\\Vendrake\\Test");
  key.Put("", TRegValue::OfString("default"));
  key.Put("Quote \"q\"", TRegValue::OfString("say \"hi\""));
  key.Put("Path", TRegValue::OfString("C:\\Temp\\"));
  key.Put("Umlaut", TRegValue::OfString("Gr\xC3\xBC\xC3\x9F"
                                        "e \xE2\x98\xBA"));
  key.Put("Latin1", TRegValue::OfString("caf\xE9"));
  key.Put("Empty", TRegValue::OfString(""));
  key.Put("NoBytes", TRegValue::OfBinary(""));
  key.Put("Number", TRegValue::OfDWord(0xFFFFFFFE));
  key.Put("Date", TRegValue::OfBinary(std::string_view("\0\0\0\0\x40\x80\xE6\x40", 8)));
  key.Put("Lines", TRegValue::OfString("a\r\nb"));
  key.Put("Expand", {static_cast<TRegType>(2), std::string("%\0", 2)});
  return tree;
}

TEST(RegText, WritesTheExportFormatByteForByte) {
  const TRegTree tree = EscapesTree();
  EXPECT_EQ(FormatRegText(tree), Fixture("registry_escapes.reg"));
  EXPECT_EQ(ParseRegText(Fixture("registry_escapes.reg")), tree);
  EXPECT_EQ(FormatRegText(TRegTree{}), "Windows Registry Editor Version 5.00\n\n");
}

TEST(RegText, ReadsAWindowsExport) {
  const TRegTree tree = ParseRegText(Fixture("registry_windows_export.reg"));
  const TRegKey* scheme = tree.FindKey("Software\\Vendrake\\Options\\Scheme");
  ASSERT_NE(scheme, nullptr);
  EXPECT_EQ(*scheme->Find("SchemeCount"), TRegValue::OfDWord(10));
  EXPECT_EQ(*scheme->Find("SchemeStartTime"), TRegValue::OfBinary("\x55\x55\x55\x55\x55\x55\xD5\x3F"));
  const TRegKey* masks = tree.FindKey("software\\vendrake\\options\\filemasks");
  ASSERT_NE(masks, nullptr);
  ASSERT_EQ(masks->Values().size(), 3u);
  EXPECT_EQ(masks->Values()[0].Name, "");
  EXPECT_EQ(masks->Values()[1].Value, TRegValue::OfString("gif, Saved"));
  EXPECT_EQ(masks->Values()[2].Value.Type, static_cast<TRegType>(2));
  EXPECT_EQ(masks->Values()[2].Value.Data.size(), 14u);
  EXPECT_NE(tree.FindKey("Software\\Vendrake"), nullptr);  // parents exist without a section of their own
}

TEST(RegText, RefusesWhatIsNotAStore) {
  const std::string header = "Windows Registry Editor Version 5.00\n";
  const std::string key = header + "[HKEY_CURRENT_USER\\Software]\n";
  const std::string cases[] = {
      "",
      "REGEDIT4\n",
      header + "\"Early\"=\"value before any key\"\n",
      header + "[HKEY_LOCAL_MACHINE\\Software]\n",
      header + "[HKEY_CURRENT_USERS\\Software]\n",
      header + "[HKEY_CURRENT_USER\\Software\n",
      header + "[-HKEY_CURRENT_USER\\Software]\n",
      key + "\"Deleted\"=-\n",
      key + "\"Open\"=\"no end\n",
      key + "\"Escape\"=\"a\\tb\"\n",
      key + "\"After\"=\"x\" y\n",
      key + "NoQuotes=\"x\"\n",
      key + "\"NoEquals\" \"x\"\n",
      key + "\"Short\"=dword:1234567\n",
      key + "\"Long\"=dword:123456789\n",
      key + "\"Bad\"=hex:0g\n",
      key + "\"Gap\"=hex:00,,01\n",
      key + "\"Wide\"=hex:100\n",
      key + "\"Type\"=hex(z):00\n",
      key + "\"Cut\"=hex:00,\\\n",
      key + "\"Mid\rCR\"=\"x\"\n",
      key + "\"Str\"=str:x\n",
  };
  for (const std::string& text : cases) EXPECT_THROW(ParseRegText(text), EFormatError) << text;
}

// Every key brings its parents, so a deep path costs its depth times its
// length: such a line is damage, however short the file.
TEST(RegText, KeyPathsPastTheirBoundsAreRefused) {
  const std::string header = "Windows Registry Editor Version 5.00\n";
  std::string deep = "Software", deepest = "Software";
  for (std::size_t i = 1; i < kMaxKeyDepth; ++i) deep += "\\k";
  for (std::size_t i = 1; i <= kMaxKeyDepth; ++i) deepest += "\\k";
  EXPECT_NO_THROW(ParseRegText(header + "[HKEY_CURRENT_USER\\" + deep + "]\n"));
  EXPECT_THROW(ParseRegText(header + "[HKEY_CURRENT_USER\\" + deepest + "]\n"), EFormatError);

  const std::string longest(kMaxKeyPathLength, 'n');
  EXPECT_NO_THROW(ParseRegText(header + "[HKEY_CURRENT_USER\\" + longest + "]\n"));
  EXPECT_THROW(ParseRegText(header + "[HKEY_CURRENT_USER\\" + longest + "n]\n"), EFormatError);

  // A 4 KB line of 2,000 levels: 2,000 keys of up to 4 KB each (ten times
  // as many levels cost gigabytes).
  std::string attack = header + "[HKEY_CURRENT_USER";
  for (int i = 0; i < 2000; ++i) attack += "\\a";
  EXPECT_THROW(ParseRegText(attack + "]\n"), EFormatError);
}

TEST(RegText, ErrorsNameTheLine) {
  try {
    ParseRegText("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:zz\r\n");
    FAIL() << "no error";
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos) << e.what();
  }
}

TEST(RegText, RootValuesAndOddKeyNamesRoundTrip) {
  TRegTree tree;
  tree.CreateKey("").Put("AtRoot", TRegValue::OfDWord(1));
  tree.CreateKey("Odd]Name\\With [Brackets]").Put("v", TRegValue::OfString("]"));
  tree.CreateKey("Other").Put("", {static_cast<TRegType>(0xB), std::string(8, '\x7F')});
  const std::string text = FormatRegText(tree);
  EXPECT_NE(text.find("[HKEY_CURRENT_USER]\n\"AtRoot\"=dword:00000001\n"), std::string::npos) << text;
  EXPECT_NE(text.find("@=hex(b):7f,7f,"), std::string::npos) << text;
  EXPECT_EQ(ParseRegText(text), tree);
}

}  // namespace
}  // namespace vdk
