// vendrake-cli's commands besides run and show: new, settings show, the
// image library's list, verify and add; run's --exclude and --password-file.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "cli_process.h"
#include "core/model/task.h"
#include "core/model/task_factory.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vdk::test {
namespace {

namespace fs = std::filesystem;

class CliCommandsTest : public ::testing::Test {
 protected:
  CliResult Run(const std::vector<std::string>& args) { return RunCli(args, home.Path()); }
  std::string Projects() const { return home / "Images/Projects/"; }
  std::string Downloads() const { return home / "Images/Downloaded Files/"; }
  static std::string Fixture(const std::string& name) { return std::string(VENDRAKE_TEST_DATA) + name; }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  TempDir home;
};

TEST_F(CliCommandsTest, NewWritesATaskFileOnceWithTheDefaultOptions) {
  const CliResult created = Run({"new", "Cats", "http://www.site.test/cats/"});
  ASSERT_EQ(created.code, 0) << created.err;
  EXPECT_EQ(created.out, Projects() + "Cats.wrp\n");
  TTask task;
  task.LoadFromFile(Projects() + "Cats.wrp");
  EXPECT_EQ(task.Name, "Cats");
  EXPECT_EQ(task.URL.URI(), "http://www.site.test/cats/");
  EXPECT_EQ(task.Options.DefaultFolder, Downloads() + "Cats/");
  EXPECT_TRUE(fs::is_directory(Downloads() + "Cats/Saved"));
  EXPECT_EQ(task.Items.Count(), 0);

  const std::string before = ReadFile(Projects() + "Cats.wrp");
  const CliResult again = Run({"new", "Cats", "http://other.test/"});
  EXPECT_EQ(again.code, 2);
  EXPECT_TRUE(Has(again.err, "Cats.wrp")) << again.err;
  EXPECT_EQ(ReadFile(Projects() + "Cats.wrp"), before);
  EXPECT_EQ(Run({"new", "Dogs", "ftp://www.site.test/"}).code, 1);
  EXPECT_FALSE(FileExists(Projects() + "Dogs.wrp"));
}

TEST_F(CliCommandsTest, SettingsShowListsTheFoldersOfTheHome) {
  const CliResult shown = Run({"settings", "show"});
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_TRUE(Has(shown.out, "Vendrake home: " + home.Path() + "\n")) << shown.out;
  EXPECT_TRUE(Has(shown.out, "Projects:      " + Projects() + "\n")) << shown.out;
  EXPECT_TRUE(Has(shown.out, "Downloads:     " + Downloads() + "\n")) << shown.out;
  EXPECT_TRUE(Has(shown.out, "Library:       " + home / "imglib.db\n")) << shown.out;
  EXPECT_TRUE(Has(shown.out, "Size limit:    over 10 KB and under 10240 KB\n")) << shown.out;
  EXPECT_TRUE(fs::is_directory(Projects()));  // a first start makes the folders
}

TEST_F(CliCommandsTest, LibraryAddListAndVerify) {
  const CliResult empty = Run({"library", "list"});
  ASSERT_EQ(empty.code, 0) << empty.err;
  EXPECT_TRUE(Has(empty.out, "0 pictures in " + home / "imglib.db")) << empty.out;

  fs::create_directories(home / "pics/sub");
  fs::copy_file(Fixture("gif_40x30.gif"), home / "pics/a.gif");
  fs::copy_file(Fixture("gif_40x30.gif"), home / "pics/sub/b.gif");
  WriteFile(home / "pics/notes.txt", "not a picture");  // catalogued without a size
  const CliResult added = Run({"library", "add", home / "pics"});
  ASSERT_EQ(added.code, 0) << added.err;
  EXPECT_TRUE(Has(added.out, "3 pictures added")) << added.out << added.err;
  // Adding again adds nothing twice.
  EXPECT_TRUE(Has(Run({"library", "add", home / "pics/a.gif"}).out, "0 pictures added"));

  const CliResult listed = Run({"library", "list"});
  ASSERT_EQ(listed.code, 0);
  EXPECT_TRUE(Has(listed.out, "40 x 30     " + home / "pics/a.gif\n")) << listed.out;
  EXPECT_TRUE(Has(listed.out, home / "pics/sub/b.gif\n")) << listed.out;
  EXPECT_TRUE(Has(listed.out, "-1 x -1     " + home / "pics/notes.txt\n")) << listed.out;
  EXPECT_TRUE(Has(listed.out, "3 pictures in ")) << listed.out;

  EXPECT_EQ(Run({"library", "verify"}).code, 0);
  fs::remove(home / "pics/a.gif");
  WriteFile(home / "pics/sub/b.gif", "shorter");
  const CliResult verified = Run({"library", "verify"});
  EXPECT_NE(verified.code, 0);
  EXPECT_TRUE(Has(verified.out, "missing: " + home / "pics/a.gif\n")) << verified.out;
  EXPECT_TRUE(Has(verified.out, "changed: " + home / "pics/sub/b.gif (")) << verified.out;
  EXPECT_TRUE(Has(verified.out, "3 pictures checked, 2 problems")) << verified.out;

  EXPECT_EQ(Run({"library", "add", home / "nothing-here"}).code, 2);
}

TEST_F(CliCommandsTest, ExcludedNamesAreNeverRequested) {
  TestServer server;
  server.Serve("/index.html", {.body = "<img src=a.jpg><img src=logo.gif><img src=b.jpg>"});
  for (const char* name : {"/a.jpg", "/logo.gif", "/b.jpg"}) server.Serve(name, {.body = std::string(20000, 'x')});
  const CliResult run = Run({"run", server.Url("/index.html"), "--exclude", "LOGO.GIF", "--exclude", "b.jpg"});
  ASSERT_EQ(run.code, 0) << run.err;
  std::set<std::string> saved;
  for (const auto& e : fs::directory_iterator(Downloads() + TaskNameOfURL(server.Url("/index.html")) + "/Saved"))
    saved.insert(e.path().filename());
  EXPECT_EQ(saved, std::set<std::string>{"a.jpg"});
  EXPECT_EQ(server.CountRequests("GET", "/logo.gif"), 0);
  EXPECT_EQ(server.CountRequests("GET", "/b.jpg"), 0);
}

TEST_F(CliCommandsTest, ThePasswordFromItsFileIsNeverShown) {
  TestServer server;
  server.Serve("/index.html", {.body = "<img src=a.jpg>"});
  server.Serve("/a.jpg", {.body = std::string(20000, 'a')});
  WriteFile(home / "password", "s3cret-pw\n");
  const std::string url = server.Url("/index.html");
  const CliResult run = Run({"run", url, "--log", "--user", "ann", "--password-file", home / "password"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "File \"a.jpg\" saved")) << run.out;  // the log was printed

  // Kept for the next run, in a task file that only its owner may read.
  const std::string taskFile = Projects() + TaskNameOfURL(url) + ".wrp";
  TTask task;
  task.LoadFromFile(taskFile);
  EXPECT_EQ(task.Options.UserName, "ann");
  EXPECT_EQ(task.Options.Password, "s3cret-pw");
  EXPECT_EQ(fs::status(taskFile).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);

  for (const CliResult& shown : {run, Run({"show", taskFile}), Run({"show", taskFile, "--json", "--items"})}) {
    EXPECT_EQ(shown.code, 0);
    EXPECT_FALSE(Has(shown.out + shown.err, "s3cret")) << shown.out << shown.err;
  }
  EXPECT_EQ(Run({"run", url, "--password-file", home / "password"}).code, 1);  // only with --user
}

}  // namespace
}  // namespace vdk::test
