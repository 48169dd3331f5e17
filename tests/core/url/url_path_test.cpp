#include "core/url/url_path.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/url/url_path_items.h"

namespace vdk {
namespace {

std::string Normalised(std::string_view text) { return TURLPath(text).ResolvedURL(); }

// The URL a value found on a page with the given folder resolves to; empty
// when the link is dropped.
std::string Resolved(std::string_view folder, std::string_view value) {
  TURLPathItems items;
  items.StartPage(folder);
  if (!items.AddLink(value)) return {};
  EXPECT_EQ(items.Count(), 1u);
  return items.Items(0).ResolvedURL();
}

std::vector<std::string> ResolvedURLs(const TURLPathItems& items) {
  std::vector<std::string> urls;
  for (const TURLPath& link : items) urls.push_back(link.ResolvedURL());
  return urls;
}

TEST(URLPath, SplitsHostPathAndQuery) {
  const TURLPath url("HTTPS://User@Example.COM:8443/a//b/pic.jpg?x=1/../y#top");
  EXPECT_EQ(url.Protocol(), "https");
  EXPECT_EQ(url.Segments(), (std::vector<std::string>{"User@Example.COM:8443", "a", "", "b", "pic.jpg"}));
  EXPECT_EQ(url.Query(), "?x=1/../y");
  EXPECT_EQ(url.ResolvedURL(), "https://User@Example.COM:8443/a//b/pic.jpg?x=1/../y");
  EXPECT_EQ(url.Text(), "HTTPS://User@Example.COM:8443/a//b/pic.jpg?x=1/../y#top");
}

TEST(URLPath, KeepsTheRulesOfTheWorkList) {
  EXPECT_EQ(Normalised("HTTP://Other/p.html"), "http://Other/p.html");
  EXPECT_EQ(Normalised("http://h/dir/"), "http://h/dir");
  EXPECT_EQ(Normalised("http://h/"), "http://h");
  EXPECT_EQ(Normalised("http://h/a//"), "http://h/a/");
  EXPECT_EQ(Normalised("http://h/a//b"), "http://h/a//b");
  EXPECT_EQ(Normalised(" http://h/a/ #top "), "http://h/a");
  // Without a scheme the text is taken as host and path.
  EXPECT_EQ(Normalised("h/a/b.gif"), "http://h/a/b.gif");
  EXPECT_EQ(Normalised("127.0.0.1:8080/x"), "http://127.0.0.1:8080/x");
}

TEST(URLPath, RemovesDotSegmentsFromThePathOnly) {
  EXPECT_EQ(Normalised("http://h/a/./b"), "http://h/a/b");
  EXPECT_EQ(Normalised("http://h/a/b/../../c"), "http://h/c");
  EXPECT_EQ(Normalised("http://h/a//../b"), "http://h/a/b");
  EXPECT_EQ(Normalised("http://h/a/b/.."), "http://h/a");
  EXPECT_EQ(Normalised("http://h/a/b/."), "http://h/a/b");
  EXPECT_EQ(Normalised("http://h/p.php?x=a/../b"), "http://h/p.php?x=a/../b");
  EXPECT_EQ(Normalised("http://h/a/../?q=./x"), "http://h/?q=./x");
  // ".." stops at the host.
  EXPECT_EQ(Normalised("http://h/../x"), "http://h/x");
  EXPECT_EQ(Normalised("http://h/a/../../../x"), "http://h/x");
  EXPECT_EQ(Normalised("http://h/.."), "http://h");
}

TEST(URLPath, QueryKeepsTheSlashBeforeIt) {
  EXPECT_EQ(Normalised("http://h/dir/?page=2"), "http://h/dir/?page=2");
  EXPECT_EQ(Normalised("http://h/dir/?"), "http://h/dir/?");
  EXPECT_EQ(Normalised("http://h?x"), "http://h?x");
}

TEST(URLPath, UnfetchableTextsResolveToNothing) {
  for (const char* text : {"", "mailto:a@h", "ftp://h/x", "javascript:go()", "http:x.gif", "http:/x.gif", "http://",
                           "http:///x", "http://:80/x", "http://user@/x", "//h/x", "http://h/a\x01z", "http://h/\x7F",
                           "h:80/x", "http:// /", "http://u@ /x"}) {
    const TURLPath url(text);
    EXPECT_FALSE(url.IsValid()) << text;
    EXPECT_EQ(url.ResolvedURL(), "") << text;
    EXPECT_TRUE(url.Segments().empty()) << text;
  }
}

TEST(URLPath, SetURLReplacesTheNormalisedURL) {
  TURLPath url("http://h/a");
  url.SetURL("mailto:x");
  EXPECT_FALSE(url.IsValid());
  url.SetURL("https://h/b/");
  EXPECT_EQ(url.ResolvedURL(), "https://h/b");
  EXPECT_EQ(url.Segments(), (std::vector<std::string>{"h", "b"}));
}

TEST(URLPath, AbsoluteLinksAndSchemes) {
  EXPECT_TRUE(IsAbsoluteLink("http://h/"));
  EXPECT_TRUE(IsAbsoluteLink("HTTPS:x"));
  EXPECT_FALSE(IsAbsoluteLink("httpd.gif"));
  EXPECT_FALSE(IsAbsoluteLink("http.gif"));
  EXPECT_FALSE(IsAbsoluteLink(""));
  EXPECT_FALSE(IsAbsoluteLink("ftp://h/"));
  EXPECT_FALSE(IsAbsoluteLink("/http://h/"));
  EXPECT_EQ(URLScheme("mailto:a@h"), "mailto");
  EXPECT_EQ(URLScheme("svn+ssh://h"), "svn+ssh");
  EXPECT_EQ(URLScheme("page.php?u=http://h"), "");
  EXPECT_EQ(URLScheme("1a:b"), "");
  EXPECT_EQ(URLScheme(":x"), "");
}

TEST(URLPath, StripLeadingSlash) {
  EXPECT_EQ(StripLeadingSlash("/img/x.gif"), "img/x.gif");
  EXPECT_EQ(StripLeadingSlash("//h/x"), "/h/x");
  EXPECT_EQ(StripLeadingSlash("/"), "/");
  EXPECT_EQ(StripLeadingSlash("x/"), "x/");
}

TEST(URLPath, PageExtensions) {
  for (const char* ext : {"", " ", ".HTML", "asp", "Cgi", "shtml", "htm", "php", "dll", " .php "})
    EXPECT_TRUE(IsPageExt(ext)) << '"' << ext << '"';
  for (const char* ext : {"jpg", ".php3", "aspx", ".", "..html", "xhtml"}) EXPECT_FALSE(IsPageExt(ext)) << ext;
}

TEST(URLPath, ItemExtensionAndBaseURL) {
  EXPECT_EQ(ItemExtension(TIdURI("http://h/")), "html");
  EXPECT_EQ(ItemExtension(TIdURI("http://h/dir")), "html");
  EXPECT_EQ(ItemExtension(TIdURI("http://h/a/pic.JPG")), "JPG");
  EXPECT_EQ(ItemExtension(TIdURI("http://h/a.b/pic.tar.gz?x=.y")), "gz");
  EXPECT_EQ(BaseURLOf(TIdURI("http://h:8080/a/p.html")), "http://h:8080/a/");
  EXPECT_EQ(BaseURLOf(TIdURI("http://h")), "http://h/");
  EXPECT_EQ(BaseURLOf(TIdURI("https://u@h/a/b/?q=1")), "https://h/a/b/");
}

TEST(URLPath, FollowRule) {
  const TIdURI start("http://a.s.t/index.html");
  EXPECT_TRUE(IsFollowable(TIdURI("http://img.s.t/"), start));
  EXPECT_TRUE(IsFollowable(TIdURI("http://IMG.S.T/"), start));
  EXPECT_TRUE(IsFollowable(TIdURI("http://s2.t/x.gif"), start));
  EXPECT_FALSE(IsFollowable(TIdURI("http://other.t/"), start));
  EXPECT_FALSE(IsFollowable(TIdURI("http://other.t/dir/"), start));
}

TEST(LinkResolution, RelativeValuesFollowTheFolder) {
  const std::string folder = "http://h/a/b/";
  EXPECT_EQ(Resolved(folder, "img/x.gif"), "http://h/a/b/img/x.gif");
  EXPECT_EQ(Resolved(folder, "../x.gif"), "http://h/a/x.gif");
  EXPECT_EQ(Resolved(folder, "../../../../x.gif"), "http://h/x.gif");
  EXPECT_EQ(Resolved(folder, "httpd.gif"), "http://h/a/b/httpd.gif");
  EXPECT_EQ(Resolved(folder, "?page=2"), "http://h/a/b/?page=2");
  EXPECT_EQ(Resolved(folder, "p.php?u=a/../b"), "http://h/a/b/p.php?u=a/../b");
  EXPECT_EQ(Resolved(folder, "."), "http://h/a/b");
}

TEST(LinkResolution, RootAndProtocolRelativeValues) {
  EXPECT_EQ(Resolved("http://h/a/b/", "/img/x.gif"), "http://h/img/x.gif");
  EXPECT_EQ(Resolved("http://h:8080/a/", "/x.gif"), "http://h:8080/x.gif");
  EXPECT_EQ(Resolved("https://h/a/", "/"), "https://h");
  EXPECT_EQ(Resolved("https://h/a/", "/../x"), "https://h/x");
  EXPECT_EQ(Resolved("https://h/a/", "//cdn.h/x.gif"), "https://cdn.h/x.gif");
  EXPECT_EQ(Resolved("http://h/a/", "//cdn.h:81"), "http://cdn.h:81");
  EXPECT_EQ(Resolved("HTTP://h/a/", "/x"), "http://h/x");
}

TEST(LinkResolution, AbsoluteValuesAndOtherSchemes) {
  const std::string folder = "https://h/d/";
  EXPECT_EQ(Resolved(folder, "http://other/x.jpg"), "http://other/x.jpg");
  EXPECT_EQ(Resolved(folder, "HTTPS://Other/p.html"), "https://Other/p.html");
  for (const char* value : {"mailto:a@h", "javascript:void(0)", "data:image/png;base64,AAAA", "ftp://h/x", "tel:+123",
                            "file:///etc/passwd", "about:blank", "http:x.gif", "C:/pics/x.gif"})
    EXPECT_EQ(Resolved(folder, value), "") << value;
}

TEST(LinkResolution, FragmentsAreDropped) {
  EXPECT_EQ(Resolved("http://h/d/", "p.html#top"), "http://h/d/p.html");
  EXPECT_EQ(Resolved("http://h/d/", "p.html?a=1#x?y"), "http://h/d/p.html?a=1");
  // Only a fragment: the page itself, not its folder.
  EXPECT_EQ(Resolved("http://h/d/", "#top"), "");
  EXPECT_EQ(Resolved("http://h/d/", "#"), "");
  EXPECT_EQ(Resolved("http://h/d/", "/#x"), "http://h");
}

TEST(LinkResolution, ValuesWithoutAFetchableHostAreDropped) {
  EXPECT_EQ(Resolved("http://h/d/", ""), "");
  EXPECT_EQ(Resolved("http://h/d/", "//"), "");
  EXPECT_EQ(Resolved("http://h/d/", "///x"), "");
  EXPECT_EQ(Resolved("http://h/d/", "http:///x"), "");
  EXPECT_EQ(Resolved("http://h/d/", std::string("a\0b", 3)), "");
  EXPECT_EQ(Resolved("http://h/d/", "a\x7F"), "");
  // No folder to resolve against: only absolute values survive.
  for (const char* folder : {"", "/d/", "ftp://h/d/", "http:///d/", "http://h/\x01/"}) {
    EXPECT_EQ(Resolved(folder, "x.gif"), "") << folder;
    EXPECT_EQ(Resolved(folder, "#x"), "") << folder;
    EXPECT_EQ(Resolved(folder, "http://o/x.gif"), "http://o/x.gif") << folder;
  }
  // A value must not extend the host of a folder given without its "/".
  EXPECT_EQ(Resolved("http://h", "@"), "http://h/@");
}

TEST(URLPathItems, AddKeepsOnlyFetchableURLs) {
  TURLPathItems items;
  EXPECT_TRUE(items.Add("http://h/a/"));
  EXPECT_FALSE(items.Add("mailto:x"));
  EXPECT_TRUE(items.Add("https://h/./b"));
  EXPECT_EQ(ResolvedURLs(items), (std::vector<std::string>{"http://h/a", "https://h/b"}));
  EXPECT_THROW(items.Items(2), std::out_of_range);
}

TEST(URLPathItems, RepeatedGroupsKeepTheirOrder) {
  TURLPathItems items;
  items.StartPage("http://h/d/");
  items.AddLink("a");
  items.AddLink("b");
  items.AddLink("c");
  items.RepeatLast(2);
  items.RepeatLast(2);
  items.StartPage("http://g/");
  items.AddLink("e");
  items.RepeatLast(1);
  items.AddLink("f");
  EXPECT_EQ(ResolvedURLs(items),
            (std::vector<std::string>{"http://h/d/a", "http://h/d/b", "http://h/d/c", "http://h/d/b", "http://h/d/c",
                                      "http://h/d/b", "http://h/d/c", "http://g/e", "http://g/e", "http://g/f"}));
  EXPECT_EQ(items.Items(5).ResolvedURL(), "http://h/d/b");
}

TEST(URLPathItems, RepeatLastRefusesLinksThatAreNotOneGroup) {
  TURLPathItems items;
  EXPECT_THROW(items.RepeatLast(1), std::logic_error);
  items.Add("http://h/a");
  items.Add("http://h/b");
  items.RepeatLast(2);
  EXPECT_THROW(items.RepeatLast(1), std::logic_error);
  items.Add("http://h/c");
  EXPECT_THROW(items.RepeatLast(2), std::logic_error);
  items.RepeatLast(0);
  EXPECT_EQ(items.Count(), 5u);
}

}  // namespace
}  // namespace vdk
