#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli_process.h"
#include "core/model/task_factory.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vdk::test {

// vendrake-cli against the test server: a page with two pictures and a page
// below it with a third, crawled into a temporary Vendrake home.
class CliFixture : public ::testing::Test {
 protected:
  CliFixture() {
    server.Serve("/index.html", {.body = "<img src=a.jpg><img src=b.jpg><a href=more.html>more</a>"});
    server.Serve("/more.html", {.body = "<img src=c.png>"});
    for (const char* name : {"/a.jpg", "/b.jpg", "/c.png"}) server.Serve(name, {.body = std::string(20000, 'x')});
  }

  std::string Url() const { return server.Url("/index.html"); }
  std::string TaskFile() const { return home / ("Images/Projects/" + TaskNameOfURL(Url()) + ".wrp"); }
  std::string SavedFolder() const { return home / ("Images/Downloaded Files/" + TaskNameOfURL(Url()) + "/Saved"); }
  std::set<std::string> Saved() const {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(SavedFolder(), ec)) names.insert(e.path().filename());
    return names;
  }
  CliResult Run(const std::vector<std::string>& args, std::optional<std::size_t> limit = std::nullopt) {
    return RunCli(args, home.Path(), limit);
  }

  TempDir home;
  TestServer server;
};

}  // namespace vdk::test
