// Importing chosen projects as task files into a project folder on disk:
// category folders found or made, existing task files never replaced, and
// nothing written outside the test's folders whatever the server sent.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/model/task.h"
#include "core/settings/memory_registry.h"
#include "core/settings/reg_settings.h"
#include "import/import_file_thread.h"
#include "import/project_folder_target.h"
#include "import/project_import.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TProjectItem Project(const std::string& name, const std::string& category,
                     const std::string& url = "https://example.org/start/") {
  TProjectItem item;
  item.Name = name;
  item.Category = category;
  item.URL = url;
  return item;
}

// Every file and folder below a folder, as paths relative to it.
std::set<std::string> Tree(const std::string& folder) {
  std::set<std::string> paths;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator(); ++it)
    paths.insert(it->path().lexically_relative(folder).string());
  return paths;
}

class ProjectImportTest : public ::testing::Test {
 protected:
  ProjectImportTest() {
    fs::create_directories(home / "projects");
    fs::create_directories(home / "downloads");
    fs::create_directories(home / "outside");
    defaults.ProjectPath = home / "projects/";
    defaults.DefaultFolder = home / "downloads/";
    defaults.FileMasks = {"jpg, Saved"};
  }
  TImportOutcome Import(const TProjectItem& project) { return importer.ImportProject(project); }
  std::string Projects(const std::string& below) const { return home / ("projects/" + below); }
  std::string TaskName(const std::string& path) {
    TTask task;
    task.LoadFromFile(path);
    return task.Name;
  }

  test::TempDir home;
  TRegOptions defaults;
  TProjectFolderTarget target{home / "projects/"};
  TProjectImporter importer{target, defaults};
};

TEST_F(ProjectImportTest, TwoProjectsOfANewCategoryShareOneNewFolder) {
  EXPECT_EQ(Import(Project("Moon", "Space")).Status, TImportStatus::Imported);
  EXPECT_EQ(Import(Project("Mars", "Space", "https://example.org/mars/")).Status, TImportStatus::Imported);
  EXPECT_EQ(Tree(Projects("")), (std::set<std::string>{"Space", "Space/Moon.wrp", "Space/Mars.wrp"}));
  TTask mars;
  mars.LoadFromFile(Projects("Space/Mars.wrp"));
  EXPECT_EQ(mars.Name, "Mars");
  EXPECT_EQ(mars.URL.Text(), "https://example.org/mars/");
  EXPECT_EQ(mars.Options.DefaultFolder, home / "downloads/Mars/");
  EXPECT_EQ(mars.Options.SeekDeep, 5);
  EXPECT_EQ(mars.Options.FileMasks, Names{"jpg, Saved"});
  EXPECT_TRUE(fs::is_directory(home / "downloads/Mars/Saved"));
  struct stat st;
  ASSERT_EQ(::stat(Projects("Space/Mars.wrp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(importer.ImportedNames(), (Names{"Moon", "Mars"}));
}

TEST_F(ProjectImportTest, TheFirstNodeCaptionedLikeTheCategoryTakesTheTask) {
  // In tree order: "Deep/Space" is a folder below "Deep"; a task captioned
  // "Art" puts the import beside it.
  fs::create_directories(Projects("Deep/Space"));
  TTask art;
  art.Name = "Art";
  art.SaveToFile(Projects("Deep/art-file.WRP"));
  EXPECT_EQ(Import(Project("Moon", "Space")).TaskFile, Projects("Deep/Space/Moon.wrp"));
  EXPECT_EQ(Import(Project("Mona", "Art")).TaskFile, Projects("Deep/Mona.wrp"));
  EXPECT_TRUE(fs::exists(Projects("Deep/Space/Moon.wrp")));
  // Letter case counts: "space" is a new folder under the root.
  EXPECT_EQ(Import(Project("Sun", "space")).TaskFile, Projects("space/Sun.wrp"));
}

TEST_F(ProjectImportTest, AnExistingTaskFileIsNeverReplacedNorRecorded) {
  fs::create_directories(Projects("Space"));
  TTask mine;
  mine.Name = "My own notes";
  mine.SaveToFile(Projects("Space/Moon.wrp"));
  const TImportOutcome outcome = Import(Project("Moon", "Space"));
  EXPECT_EQ(outcome.Status, TImportStatus::Exists);
  EXPECT_EQ(outcome.TaskFile, Projects("Space/Moon.wrp"));
  EXPECT_EQ(TaskName(Projects("Space/Moon.wrp")), "My own notes");
  // The same project chosen twice in one import: the second is skipped.
  EXPECT_EQ(Import(Project("Sun", "Space")).Status, TImportStatus::Imported);
  EXPECT_EQ(Import(Project("Sun", "Space")).Status, TImportStatus::Exists);
  EXPECT_EQ(importer.ImportedNames(), Names{"Sun"});

  TMemoryRegistry store;
  TExistNames names(store);
  importer.SaveNames(names);
  EXPECT_EQ(TExistNames(store).Names, Names{"Sun"});
}

TEST_F(ProjectImportTest, HostileProjectsWriteNothingOutsideTheTestFolders) {
  // A category that is a link to a folder outside the project folder.
  ASSERT_EQ(::symlink((home / "outside").c_str(), Projects("Linked").c_str()), 0);
  ASSERT_EQ(::symlink((home / "outside").c_str(), (home / "downloads/Escaping").c_str()), 0);
  const std::vector<TProjectItem> hostile = {
      Project("../x", "Fine"),
      Project("", "Fine"),
      Project("a/b", "Fine"),
      Project("Dots", ".."),
      Project("Root", "/etc"),
      Project("Ctl\x01", "Fine"),
      Project("Ctl", "F\x1bine"),
      Project("Nul", "../outside"),
      Project("Via link", "Linked"),
      Project("Escaping", "Fine"),
      Project("File", "Fine", "file:///etc/passwd"),
  };
  for (const TProjectItem& project : hostile) {
    SCOPED_TRACE(project.Name + " in " + project.Category);
    const TImportOutcome outcome = Import(project);
    EXPECT_EQ(outcome.Status, TImportStatus::Refused) << outcome.Message;
  }
  EXPECT_TRUE(Tree(home / "outside").empty());
  EXPECT_EQ(Tree(Projects("")), (std::set<std::string>{"Linked", "Fine"}));
  EXPECT_TRUE(fs::is_empty(Projects("Fine")));
  EXPECT_TRUE(importer.ImportedNames().empty());
}

TEST_F(ProjectImportTest, AFolderThatCannotBeMadeFailsThatProjectOnly) {
  test::WriteFile(Projects("Blocked"), "a file where the category folder would go");
  EXPECT_EQ(Import(Project("One", "Blocked")).Status, TImportStatus::Failed);
  EXPECT_EQ(Import(Project("Two", "Open")).Status, TImportStatus::Imported);
  EXPECT_EQ(importer.ImportedNames(), Names{"Two"});
}

TEST_F(ProjectImportTest, ADeletedTaskIsOfferedAgainOnlyWhenForgottenByItsExactCaption) {
  TMemoryRegistry store;
  TProjectItems list;
  for (const char* name : {"Moon", "Mars"}) list.Add(std::make_shared<TProjectItem>(Project(name, "Space")));
  const auto offered = [&] {
    Names names;
    for (const auto& item : MarkNewProjects(list, TExistNames(store))) names.push_back(item->Name);
    return names;
  };
  EXPECT_EQ(offered(), (Names{"Moon", "Mars"}));

  for (const auto& item : list) Import(*item);
  TExistNames names(store);
  importer.SaveNames(names);
  EXPECT_EQ(offered(), Names{});

  // Delete in the tree: the file goes and the node's caption is forgotten.
  fs::remove(Projects("Space/Moon.wrp"));
  TExistNames(store).Forget("moon");  // another caption: nothing changes
  EXPECT_EQ(offered(), Names{});
  TExistNames(store).Forget("Moon");
  EXPECT_EQ(offered(), Names{"Moon"});

  TProjectImporter again(target, defaults);
  EXPECT_EQ(again.ImportProject(*list.Items(0)).Status, TImportStatus::Imported);
  TExistNames reloaded(store);
  again.SaveNames(reloaded);
  EXPECT_EQ(offered(), Names{});
  Names stored = TExistNames(store).Names;
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(stored, (Names{"Mars", "Moon"}));
}

}  // namespace
}  // namespace vdk
