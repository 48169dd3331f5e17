#include "core/model/task_input.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/fixed_fields.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

TEST(TaskInput, CompleteURLPutsHttpInFrontOfBareText) {
  EXPECT_EQ(CompleteURL("www.example.org/a"), "http://www.example.org/a");
  EXPECT_EQ(CompleteURL(""), "http://");
  EXPECT_EQ(CompleteURL("http://h/"), "http://h/");
  // Upper-case and blank-surrounded text holding "http://" stays as typed.
  EXPECT_EQ(CompleteURL("  HTTP://H.ORG/  "), "  HTTP://H.ORG/  ");
  // A URL that carries "http://" only in its query is left alone too.
  EXPECT_EQ(CompleteURL("h.org/go?to=http://x"), "h.org/go?to=http://x");
}

TEST(TaskInput, CompleteURLKeepsTheSecureScheme) {
  EXPECT_EQ(CompleteURL("https://h.org/"), "https://h.org/");
  EXPECT_EQ(CompleteURL(" HTTPS://H.ORG/"), " HTTPS://H.ORG/");
  // Not a scheme: "https" as the start of a host name.
  EXPECT_EQ(CompleteURL("httpsite.org"), "http://httpsite.org");
}

TEST(TaskInput, ClipboardTextLooksLikeAURLWhenItBeginsWithHttp) {
  EXPECT_TRUE(LooksLikeURL("  HTTP://H.ORG/  "));
  EXPECT_TRUE(LooksLikeURL("https://h.org"));
  EXPECT_TRUE(LooksLikeURL("httpd.conf"));  // the rule looks at four letters only
  EXPECT_FALSE(LooksLikeURL("www.h.org"));
  EXPECT_FALSE(LooksLikeURL(""));
}

TEST(TaskInput, AcceptableTaskNames) {
  EXPECT_TRUE(IsAcceptableTaskName("Cats"));
  EXPECT_TRUE(IsAcceptableTaskName(" Cats"));  // a leading blank is kept, not refused
  EXPECT_FALSE(IsAcceptableTaskName(""));
  EXPECT_FALSE(IsAcceptableTaskName("   "));
  EXPECT_FALSE(IsAcceptableTaskName("a&b"));  // what a URL's query leaves in a derived name
  EXPECT_FALSE(IsAcceptableTaskName("a.b"));
  EXPECT_TRUE(IsAcceptableTaskName(std::string(kMaxTaskName, 'n')));
  EXPECT_FALSE(IsAcceptableTaskName(std::string(kMaxTaskName + 1, 'n')));
}

TEST(TaskInput, TextFieldsHoldAtMost1023Bytes) {
  EXPECT_TRUE(FitsTextField(std::string(1023, 'u')));
  EXPECT_FALSE(FitsTextField(std::string(1024, 'u')));
}

TEST(TaskInput, NumberFields) {
  EXPECT_EQ(NumberFieldOr("10240", 0), 10240);
  EXPECT_EQ(NumberFieldOr(" 12 ", 0), 12);
  EXPECT_EQ(NumberFieldOr("-3", 0), -3);
  EXPECT_EQ(NumberFieldOr("", 80), 80);
  EXPECT_EQ(NumberFieldOr("12kb", 0), 0);
  EXPECT_EQ(NumberFieldOr("99999999999", 0), 0);
}

// Text cut to fit a fixed field never ends in half a character.
TEST(TaskInput, CutTextEndsOnACharacterBoundary) {
  const std::string text =
      "ab\xC3\xA9"     // a, b, e acute (2 bytes)
      "\xE2\x82\xAC";  // the euro sign (3 bytes)
  EXPECT_EQ(Utf8CutPoint(text, 9), text.size());
  EXPECT_EQ(Utf8CutPoint(text, 7), 7u);
  EXPECT_EQ(Utf8CutPoint(text, 6), 4u);
  EXPECT_EQ(Utf8CutPoint(text, 5), 4u);
  EXPECT_EQ(Utf8CutPoint(text, 3), 2u);
  // Bytes that are not UTF-8 are cut where the field ends.
  EXPECT_EQ(Utf8CutPoint("ab\xA9\xA9\xA9\xA9", 4), 4u);
  EXPECT_EQ(Utf8CutPoint("a\xE9tude", 2), 2u);

  std::string record(8, '\0');
  PutText(record, 0, 4, text);
  EXPECT_EQ(GetText(record, 0, 4), "ab");
}

}  // namespace
}  // namespace vdk
