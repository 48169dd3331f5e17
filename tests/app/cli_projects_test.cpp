// vendrake-cli projects: the lists of a project server on 127.0.0.1, imports
// by name and of everything new, the ProjectServer setting, and the errors.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_process.h"
#include "core/model/task.h"
#include "support/project_lists.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vdk::test {
namespace {

class CliProjectsTest : public ::testing::Test {
 protected:
  CliProjectsTest() {
    ServeProjects(server, {{"space.dat",
                            {{.name = "Moon", .url = "https://example.org/moon/", .category = "Space"},
                             {.name = "Mars", .url = "https://example.org/mars/", .category = "Space"}}},
                           {"art.dat", {{.name = "Museum", .url = "https://example.org/art/", .category = "Art"}}},
                           {"gone.dat", {}}});
    server.Serve("/projects/gone.dat", {.status = 404});
  }
  CliResult Run(std::vector<std::string> args) {
    args.push_back("--server");
    args.push_back(ProjectServerOf(server));
    return RunCli(args, home.Path());
  }
  std::string TaskFile(const std::string& below) const { return home / ("Images/Projects/" + below); }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  TempDir home;
  TestServer server;
};

TEST_F(CliProjectsTest, ListShowsTheGroupsAndWhatIsNew) {
  const CliResult list = Run({"projects", "list"});
  ASSERT_EQ(list.code, 0) << list.err;
  EXPECT_TRUE(Has(list.out, "Project server: http://" + server.Host() + "/projects/\n")) << list.out;
  EXPECT_TRUE(Has(list.out, "space.dat\n  Moon  [Space]  https://example.org/moon/\n  Mars  [Space]")) << list.out;
  EXPECT_TRUE(Has(list.out, "art.dat\n  Museum  [Art]")) << list.out;
  EXPECT_TRUE(Has(list.out, "gone.dat  (could not be loaded)")) << list.out;
}

TEST_F(CliProjectsTest, ImportedProjectsAreTasksInTheirCategoryAndNotOfferedAgain) {
  const CliResult one = Run({"projects", "import", "Mars"});
  ASSERT_EQ(one.code, 0) << one.err;
  EXPECT_TRUE(Has(one.out, "Imported Mars: " + TaskFile("Space/Mars.wrp"))) << one.out;
  TTask mars;
  mars.LoadFromFile(TaskFile("Space/Mars.wrp"));
  EXPECT_EQ(mars.URL.Text(), "https://example.org/mars/");
  EXPECT_TRUE(std::filesystem::is_directory(home / "Images/Downloaded Files/Mars/Saved"));
  EXPECT_FALSE(Has(Run({"projects", "list"}).out, "Mars"));

  const CliResult all = Run({"projects", "import", "--all"});
  ASSERT_EQ(all.code, 0) << all.err;
  EXPECT_TRUE(Has(all.out, "Imported Moon: ")) << all.out;
  EXPECT_TRUE(Has(all.out, "Imported Museum: " + TaskFile("Art/Museum.wrp"))) << all.out;
  const CliResult after = Run({"projects", "list"});
  EXPECT_TRUE(Has(after.out, "space.dat  (nothing new)")) << after.out;
  EXPECT_TRUE(Has(Run({"projects", "import", "--all"}).out, "Nothing new to import"));
}

TEST_F(CliProjectsTest, AnExistingTaskFileIsSkippedAndStaysOffered) {
  std::filesystem::create_directories(TaskFile("Space"));
  WriteFile(TaskFile("Space/Moon.wrp"), "mine");
  const CliResult import = Run({"projects", "import", "Moon"});
  EXPECT_EQ(import.code, 0) << import.err;
  EXPECT_TRUE(Has(import.out, "Skipped Moon: a task file of this name exists already")) << import.out;
  EXPECT_EQ(ReadFile(TaskFile("Space/Moon.wrp")), "mine");
  EXPECT_TRUE(Has(Run({"projects", "list"}).out, "  Moon  [Space]"));
}

TEST_F(CliProjectsTest, TheServerSettingIsStoredAndShown) {
  const CliResult set = RunCli({"projects", "server", server.Host()}, home.Path());
  ASSERT_EQ(set.code, 0) << set.err;
  EXPECT_EQ(set.out, "http://" + server.Host() + "/projects/\n");
  const CliResult show = RunCli({"settings", "show"}, home.Path());
  EXPECT_TRUE(Has(show.out, "Import from:   http://" + server.Host() + "/projects/")) << show.out;
  // Without --server the setting is used.
  EXPECT_TRUE(Has(RunCli({"projects", "list"}, home.Path()).out, "  Museum  [Art]"));
}

TEST_F(CliProjectsTest, TheDefaultServerIsDocumentedInSettingsShow) {
  const CliResult show = RunCli({"settings", "show"}, home.Path());
  EXPECT_TRUE(Has(show.out, "Import from:   http://127.0.0.1:8418/projects/ (ProjectServer \"127.0.0.1:8418\")"))
      << show.out;
}

TEST_F(CliProjectsTest, BadInputAndAnUnreachableServer) {
  EXPECT_EQ(Run({"projects", "import", "Pluto"}).code, 1);
  EXPECT_EQ(Run({"projects", "import"}).code, 1);
  EXPECT_EQ(Run({"projects", "import", "Moon", "--all"}).code, 1);
  EXPECT_EQ(RunCli({"projects", "list", "--server", "ftp://x"}, home.Path()).code, 1);
  EXPECT_EQ(RunCli({"projects", "server", "has space"}, home.Path()).code, 1);
  server.Serve("/projects/index.dat", {.status = 503});
  const CliResult down = Run({"projects", "list"});
  EXPECT_EQ(down.code, 4);
  EXPECT_TRUE(Has(down.err, "Cannot read the project index: ")) << down.err;
  EXPECT_TRUE(Has(down.err, "503")) << down.err;
  EXPECT_FALSE(std::filesystem::exists(TaskFile("Space")));
}

}  // namespace
}  // namespace vdk::test
