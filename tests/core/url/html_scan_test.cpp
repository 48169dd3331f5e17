#include "core/url/html_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/text_utils.h"

namespace vdk {
namespace {

std::vector<std::string> LinksOf(const THTMLScan& scan) {
  std::vector<std::string> urls;
  for (const TURLPath& link : scan.Links()) urls.push_back(link.ResolvedURL());
  return urls;
}

std::vector<std::string> Scan(std::string_view html, std::string_view mainURL = "http://h/d/") {
  THTMLScan scan;
  scan.SetMainURL(mainURL);
  scan.SetHTML(std::string(html));
  return LinksOf(scan);
}

using Links = std::vector<std::string>;

TEST(CleanAttributeValue, StopsAtTheFirstSpaceAndDropsQuotes) {
  EXPECT_EQ(CleanAttributeValue("pics/a.gif width=10"), "pics/a.gif");
  EXPECT_EQ(CleanAttributeValue("\"pics/a.gif\" width=10"), "pics/a.gif");
  EXPECT_EQ(CleanAttributeValue("'Page.HTML'"), "Page.HTML");
  EXPECT_EQ(CleanAttributeValue("a\"b'c"), "abc");
  EXPECT_EQ(CleanAttributeValue(" x.html"), "");
  EXPECT_EQ(CleanAttributeValue("\"\""), "");
  EXPECT_EQ(CleanAttributeValue("\x01\ta.gif\t\x02 b"), "a.gif");
}

TEST(CleanAttributeValue, WhitespaceLeftInsideEndsTheValue) {
  EXPECT_EQ(CleanAttributeValue("\"a.jpg\"\nalt=\"x\""), "a.jpg");
  EXPECT_EQ(CleanAttributeValue("\n\"a.jpg\"\nalt=\"x\""), "a.jpg");
  EXPECT_EQ(CleanAttributeValue("a.jpg\r\nb"), "a.jpg");
  EXPECT_EQ(CleanAttributeValue("a\tb"), "a");
  EXPECT_EQ(CleanAttributeValue("a\vb\fc"), "a");
}

TEST(TTags, CutsTheTextIntoBodies) {
  TTags tags;
  tags.SetText("x<a>y<b<c>d>>e<open");
  EXPECT_EQ(tags.Tags(), (std::vector<std::string_view>{"a", "c", "c", "c"}));
  tags.SetText(">x<a href=1>");
  EXPECT_EQ(tags.Tags(), (std::vector<std::string_view>{"", "a href=1"}));
  tags.SetText("no tags at all");
  EXPECT_TRUE(tags.Tags().empty());
  EXPECT_EQ(tags.Text(), "no tags at all");
}

TEST(HTMLScan, FindsTheThreeKeywordsInEachBody) {
  EXPECT_EQ(Scan("<img src=pics/a.gif width=10>"), Links{"http://h/d/pics/a.gif"});
  EXPECT_EQ(Scan("<img src=\"pics/a.gif\" width=10>"), Links{"http://h/d/pics/a.gif"});
  EXPECT_EQ(Scan("<A HREF='Page.HTML'>"), Links{"http://h/d/Page.HTML"});
  EXPECT_EQ(Scan("<a href = x.html>"), Links{});
  EXPECT_EQ(Scan("<body background=bg.jpg>"), Links{});
  EXPECT_EQ(Scan("<meta http-equiv=\"refresh\" content=\"0; url=next.html\">"), Links{"http://h/d/next.html"});
  EXPECT_EQ(Scan("<x url=u.html href=h.html src=s.gif>"),
            (Links{"http://h/d/s.gif", "http://h/d/h.html", "http://h/d/u.html"}));
  EXPECT_EQ(Scan("<img src=a.gif href=b.html>"), (Links{"http://h/d/a.gif", "http://h/d/b.html"}));
  EXPECT_EQ(Scan("<img src=http://other/x.jpg>"), Links{"http://other/x.jpg"});
}

TEST(HTMLScan, KeepsTheScannerQuirks) {
  // The first "href" is the one inside "hreflang", the first "src" the one
  // inside "data-src".
  EXPECT_EQ(Scan("<link hreflang=en href=x.css>"), Links{"http://h/d/en"});
  EXPECT_EQ(Scan("<img data-src=lazy.jpg src=a.jpg>"), Links{"http://h/d/lazy.jpg"});
  // A stray ">" gives the tag before it again; nothing is de-duplicated.
  EXPECT_EQ(Scan("<a href=x.html>text>"), (Links{"http://h/d/x.html", "http://h/d/x.html"}));
  EXPECT_EQ(Scan("<a href=x.html><a href=x.html>"), (Links{"http://h/d/x.html", "http://h/d/x.html"}));
  // Comments and scripts are text like any other; a tag left open is not read.
  EXPECT_EQ(Scan("<!-- <img src=old.gif> --><script>if (a<b) src='c.gif' ; if (d > e)</script><img src=z"),
            (Links{"http://h/d/old.gif", "http://h/d/old.gif", "http://h/d/c.gif"}));
}

TEST(HTMLScan, TagsOverSeveralLines) {
  EXPECT_EQ(Scan("<img src=\"a.jpg\"\nalt=\"x\">"), Links{"http://h/d/a.jpg"});
  EXPECT_EQ(Scan("<img src=\n\"a.jpg\"\nalt=\"x\">"), Links{"http://h/d/a.jpg"});
  EXPECT_EQ(Scan("<img\r\n  src='a.jpg'\r\n  width=\"10\">"), Links{"http://h/d/a.jpg"});
}

TEST(HTMLScan, ResolvesLikeABrowserOnHttpsPages) {
  EXPECT_EQ(Scan("<img src=/x.gif><script src=//cdn.h/j.js></script><a href=../up.html#part>"
                 "<a href=#top><a href=\"?page=2\"><img src=\"/\">",
                 "https://h/a/b/"),
            (Links{"https://h/x.gif", "https://cdn.h/j.js", "https://h/a/up.html", "https://h/a/b/?page=2",
                   "https://h"}));  // "#top" is the page itself
}

TEST(HTMLScan, DroppedValuesDoNotCostTheOtherLinks) {
  EXPECT_EQ(Scan("<a href=mailto:a@h><a href=\"javascript:go()\"><img src=\"data:image/png;base64,AA\">"
                 "<a href=ftp://h/f><a href=//><img src=a.gif><a href=tel:1 src=b.gif>"),
            (Links{"http://h/d/a.gif", "http://h/d/b.gif"}));
}

TEST(HTMLScan, TakesAnyBytes) {
  const std::string html = std::string("<img src=a\0b.gif><img src=x\x01.gif><img src=\xC3\xA9t\xE9.jpg>", 51) +
                           "<a href=\"unterminated><img src='x.gif><<<>>><img src=\"" + std::string(3, '\0');
  const Links links = Scan(html);
  EXPECT_EQ(links, (Links{"http://h/d/\xC3\xA9t\xE9.jpg", "http://h/d/unterminated", "http://h/d/x.gif"}));
}

TEST(HTMLScan, ScansAgainOnlyForANewText) {
  THTMLScan scan;
  scan.SetMainURL("http://h/d");
  EXPECT_EQ(scan.MainURL(), "http://h/d/");
  scan.SetHTML("<img src=a.gif>");
  scan.SetHTML("<img src=a.gif>");
  scan.SetMainURL("http://h/d/");
  EXPECT_EQ(LinksOf(scan), Links{"http://h/d/a.gif"});
  scan.SetMainURL("http://g/e/");
  EXPECT_EQ(LinksOf(scan), (Links{"http://h/d/a.gif", "http://g/e/a.gif"}));
}

TEST(HTMLScan, ARepeatedLongTagCostsItsLengthOnce) {
  // Copied out per repeat, this page's links would need some 13 GB.
  const std::string value(64 * 1024, 'v');
  const std::size_t repeats = 200000;
  THTMLScan scan;
  scan.SetMainURL("http://h/d/");
  scan.SetHTML("<img src=" + value + ">" + std::string(repeats, '>'));
  const TURLPathItems& links = scan.Links();
  ASSERT_EQ(links.Count(), repeats + 1);
  EXPECT_EQ(links.Items(repeats).ResolvedURL(), "http://h/d/" + value);
}

}  // namespace
}  // namespace vdk
