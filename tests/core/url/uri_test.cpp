#include <gtest/gtest.h>

#include "core/base/errors.h"
#include "core/url/uri.h"

namespace vdk {
namespace {

struct UriCase {
  const char* text;
  const char* protocol;
  const char* host;
  const char* port;
  const char* path;
  const char* document;
  const char* query;
  const char* full;  // nullptr: no full text
};

void PrintTo(const UriCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class UriSplit : public ::testing::TestWithParam<UriCase> {};

TEST_P(UriSplit, SplitsIntoParts) {
  const UriCase& c = GetParam();
  const TIdURI uri(c.text);
  EXPECT_EQ(uri.Protocol(), c.protocol);
  EXPECT_EQ(uri.Host(), c.host);
  EXPECT_EQ(uri.Port(), c.port);
  EXPECT_EQ(uri.Path(), c.path);
  EXPECT_EQ(uri.Document(), c.document);
  EXPECT_EQ(uri.Query(), c.query);
  if (c.full) {
    ASSERT_TRUE(uri.IsValid());
    EXPECT_EQ(uri.URI(), c.full);
  } else {
    EXPECT_FALSE(uri.IsValid());
    EXPECT_THROW(uri.URI(), EURIError);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, UriSplit,
    ::testing::Values(
        UriCase{"http://h:8080/a/b/pic.jpg?x=1#top", "http", "h", "8080", "/a/b/", "pic.jpg", "?x=1",
                "http://h:8080/a/b/pic.jpg?x=1"},
        UriCase{"http://h", "http", "h", "", "/", "", "", "http://h/"},
        UriCase{"https://Site.Example/dir/", "https", "Site.Example", "", "/dir/", "", "", "https://Site.Example/dir/"},
        UriCase{"http://h/p.php?u=a/../b", "http", "h", "", "/", "p.php", "?u=a/../b", "http://h/p.php?u=a/../b"},
        UriCase{"http://h?q", "http", "h", "", "/", "", "?q", "http://h/?q"},
        UriCase{"http://[::1]:81/x", "http", "[::1]", "81", "/", "x", "", "http://[::1]:81/x"},
        UriCase{"http://h:/x", "http", "h", "", "/", "x", "", "http://h:/x"},
        UriCase{"http://h/a//b", "http", "h", "", "/a//", "b", "", "http://h/a//b"},
        UriCase{"www.h.com/a/b.gif", "", "", "", "www.h.com/a/", "b.gif", "", nullptr},
        UriCase{"pic.gif", "", "", "", "", "pic.gif", "", nullptr},
        UriCase{"http:///x", "http", "", "", "/", "x", "", nullptr},
        UriCase{"://h/x", "", "h", "", "/", "x", "", nullptr}, UriCase{"", "", "", "", "", "", "", nullptr}));

TEST(Uri, UserInfoIsKeptApartFromTheHost) {
  const TIdURI uri("http://me:secret@h:81/x");
  EXPECT_EQ(uri.UserInfo(), "me:secret");
  EXPECT_EQ(uri.Host(), "h");
  EXPECT_EQ(uri.Port(), "81");
  EXPECT_EQ(uri.URI(), "http://me:secret@h:81/x");
}

TEST(Uri, ShownWithoutUserInfo) {
  EXPECT_EQ(WithoutUserInfo("http://me:secret@h:81/x?a=b@c#d@e"), "http://h:81/x?a=b@c#d@e");
  EXPECT_EQ(WithoutUserInfo("https://a@b@h"), "https://h");
  EXPECT_EQ(WithoutUserInfo("http://h/x@y"), "http://h/x@y");
  EXPECT_EQ(WithoutUserInfo("http://h?q=u@v"), "http://h?q=u@v");
  EXPECT_EQ(WithoutUserInfo("mail/x://u@h"), "mail/x://u@h");
  EXPECT_EQ(WithoutUserInfo("u@h"), "u@h");
}

TEST(Uri, ControlBytesMakeAUrlUnusable) {
  EXPECT_FALSE(TIdURI(std::string("http://h/a\nb")).IsValid());
  EXPECT_FALSE(TIdURI(std::string("http://h/a\x7f")).IsValid());
  EXPECT_FALSE(TIdURI(std::string("http://h/a\0b", 12)).IsValid());
  EXPECT_TRUE(TIdURI("http://h/caf\xC3\xA9.jpg").IsValid());
}

TEST(Uri, FullTextSplitsTheSameWayAgain) {
  for (const char* text : {"h6ztp://:\xd0"
                           "0,http:/1/h1/",
                           "http://a:b:/x", "http://@h/", "http://u@[::1]:/p?q"}) {
    const TIdURI first(text);
    const TIdURI again(first.Text());
    EXPECT_EQ(again.Text(), first.Text()) << text;
    EXPECT_EQ(again.IsValid(), first.IsValid()) << text;
    EXPECT_EQ(again.Host(), first.Host()) << text;
  }
}

TEST(Uri, SetUriReplacesEveryPart) {
  TIdURI uri("http://a:1/x/y.gif?q");
  uri.SetURI("https://b/");
  EXPECT_EQ(uri.URI(), "https://b/");
  EXPECT_EQ(uri.Port(), "");
  EXPECT_EQ(uri.Document(), "");
  EXPECT_EQ(uri.Query(), "");
}

TEST(ParentDomain, TextAfterTheFirstDot) {
  EXPECT_EQ(ParentDomain("a.b.c"), "b.c");
  EXPECT_EQ(ParentDomain("b.c"), "c");
  EXPECT_EQ(ParentDomain("host"), "");
  EXPECT_EQ(ParentDomain("host."), "");
  EXPECT_EQ(ParentDomain(""), "");
}

}  // namespace
}  // namespace vdk
