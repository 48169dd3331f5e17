// vendrake-cli with --user and --password-file: the start host logs in on
// its own port, given or the scheme's default, and nothing else gets the
// password.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "cli_process.h"
#include "core/model/task_factory.h"
#include "support/http_auth.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vdk::test {
namespace {

class CliLoginTest : public ::testing::Test {
 protected:
  CliLoginTest() { WriteFile(PasswordFile(), "s3cret\n"); }

  std::string PasswordFile() const { return home / "password"; }
  std::set<std::string> Saved(const std::string& url) const {
    std::set<std::string> names;
    std::error_code ec;
    const std::string folder = home / ("Images/Downloaded Files/" + TaskNameOfURL(url) + "/Saved");
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) names.insert(e.path().filename());
    return names;
  }
  bool SentCredentials(const std::string& target) const {
    for (const auto& request : server.Requests())
      if (request.path == target && request.headers.contains("Authorization")) return true;
    return false;
  }

  TempDir home;
  TestServer server;
};

TEST_F(CliLoginTest, LogsInOnAnExplicitPort) {
  RequireLogin(server, "/index.html", AuthScheme::Digest, "ann", "s3cret", "<img src=pic.jpg>");
  RequireLogin(server, "/pic.jpg", AuthScheme::Basic, "ann", "s3cret", std::string(20000, 'p'));
  const std::string url = server.Url("/index.html");
  const CliResult run = RunCli({"run", url, "--user", "ann", "--password-file", PasswordFile()}, home.Path());
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Saved(url), std::set<std::string>{"pic.jpg"});
  EXPECT_EQ(run.out.find("s3cret"), std::string::npos);
}

TEST_F(CliLoginTest, LogsInOnTheSchemesDefaultPortAndNowhereElse) {
  // The test server stands in as the proxy, so that a URL without a port reaches it.
  RequireLogin(server, "http://site.test/index.html", AuthScheme::Basic, "ann", "s3cret",
               "<img src=pic.jpg><img src=http://site.test:81/port.jpg><img src=http://other.test/host.jpg>");
  for (const char* target : {"http://site.test/pic.jpg", "http://site.test:81/port.jpg", "http://other.test/host.jpg"})
    RequireLogin(server, target, AuthScheme::Basic, "ann", "s3cret", std::string(20000, 'p'));
  const std::string url = "http://site.test/index.html";
  const CliResult run = RunCli(
      {"run", url, "--proxy", server.Host(), "--no-size-limit", "--user", "ann", "--password-file", PasswordFile()},
      home.Path());
  EXPECT_EQ(Saved(url), std::set<std::string>{"pic.jpg"}) << run.out << run.err;
  EXPECT_TRUE(SentCredentials("http://site.test/pic.jpg"));
  EXPECT_EQ(server.CountRequests("GET", "http://other.test/host.jpg"), 1);
  EXPECT_FALSE(SentCredentials("http://site.test:81/port.jpg"));
  EXPECT_FALSE(SentCredentials("http://other.test/host.jpg"));
}

TEST_F(CliLoginTest, CredentialsInTheURLStayOutOfNamesFoldersAndOutput) {
  server.Serve("/index.html", {.body = "<img src=a.jpg>"});
  server.Serve("/a.jpg", {.body = std::string(20000, 'a')});
  const std::string url = "http://ann:pw1234@" + server.Host() + "/index.html";
  const CliResult run = RunCli({"run", url, "--log"}, home.Path());
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out.find("pw1234"), std::string::npos) << run.out;
  EXPECT_EQ(run.err.find("pw1234"), std::string::npos) << run.err;
  int entries = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home / "Images")) {
    const std::string below = entry.path().string().substr(home.Path().size());
    EXPECT_EQ(below.find("ann"), std::string::npos) << below;
    ++entries;
  }
  EXPECT_GT(entries, 4);
  EXPECT_EQ(Saved(server.Url("/index.html")), std::set<std::string>{"a.jpg"});
  const std::string task = home / ("Images/Projects/" + TaskNameOfURL(server.Url("/index.html")) + ".wrp");
  const CliResult show = RunCli({"show", task, "--json", "--items"}, home.Path());
  EXPECT_EQ(show.code, 0) << show.err;
  EXPECT_EQ(show.out.find("pw1234"), std::string::npos) << show.out;
}

}  // namespace
}  // namespace vdk::test
