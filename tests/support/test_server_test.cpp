#include <gtest/gtest.h>

#include "support/test_server.h"

namespace vdk::test {
namespace {

TEST(TestServer, ServesScriptedRepliesAndRecordsRequests) {
  TestServer server;
  server.Serve("/page.html", {.body = "<img src=a.gif>"});
  server.Serve("/gone", {.status = 410, .body = "gone"});
  server.Serve("/chunks", {.body = std::string(10000, 'x'), .chunked = true});
  server.Serve("/nolen", {.body = "abc", .headWithoutLength = true});

  httplib::Client client("127.0.0.1", server.Port());
  auto page = client.Get("/page.html");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->body, "<img src=a.gif>");

  auto gone = client.Get("/gone");
  ASSERT_TRUE(gone);
  EXPECT_EQ(gone->status, 410);

  auto missing = client.Get("/missing?x=1");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);

  auto chunks = client.Get("/chunks");
  ASSERT_TRUE(chunks);
  EXPECT_EQ(chunks->body.size(), 10000u);
  EXPECT_EQ(chunks->get_header_value("Transfer-Encoding"), "chunked");

  auto head = client.Head("/nolen");
  ASSERT_TRUE(head);
  EXPECT_FALSE(head->has_header("Content-Length"));
  auto headWithLength = client.Head("/page.html");
  ASSERT_TRUE(headWithLength);
  EXPECT_EQ(headWithLength->get_header_value("Content-Length"), "15");

  EXPECT_EQ(server.CountRequests("GET", "/missing?x=1"), 1);
  EXPECT_EQ(server.CountRequests("HEAD", "/nolen"), 1);
  EXPECT_EQ(server.Requests().size(), 6u);
}

TEST(TestServer, CutBodyDropsTheConnectionAndStallHoldsUntilReleased) {
  TestServer server;
  server.Serve("/cut", {.body = std::string(1000, 'y'), .cutAfter = 100});
  server.Serve("/stall", {.body = std::string(1000, 'z'), .cutAfter = 10, .stall = true});

  httplib::Client client("127.0.0.1", server.Port());
  auto cut = client.Get("/cut");
  EXPECT_FALSE(cut);  // the body ended before its announced length

  std::thread stalled([&] {
    httplib::Client other("127.0.0.1", server.Port());
    std::string received;
    auto res = other.Get("/stall", [&](const char* data, std::size_t n) {
      received.append(data, n);
      return true;
    });
    EXPECT_FALSE(res);
    EXPECT_EQ(received, std::string(10, 'z'));
  });
  server.WaitForStalled(1);
  server.ReleaseStalls();
  stalled.join();
}

}  // namespace
}  // namespace vdk::test
