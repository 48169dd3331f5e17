// vendrake-cli: the headless runner over the same engine, settings and files
// as the desktop window.

#include <CLI/CLI.hpp>

#include <clocale>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_error.h"
#include "app/cli/library_command.h"
#include "app/cli/projects_command.h"
#include "app/cli/run_command.h"
#include "app/cli/show_command.h"
#include "vendrake_version.h"

namespace vdk::cli {
namespace {

void AddRunOptions(CLI::App& run, TRunOptions& o) {
  run.add_option("target", o.Target, "start URL (http:// or https://) or task file (.wrp)")->required();
  run.add_option("--depth", o.Depth, "crawl depth: pages at this depth or deeper are not fetched");
  run.add_option("--timeout", o.TimeOut, "seconds without data before a request fails (0: 30 s)");
  run.add_option("--mask", o.Masks, "save files of this extension, into FOLDER (default Saved); repeatable")
      ->type_name("EXT[,FOLDER]");
  run.add_option("--exclude", o.Excludes, "never download a file of this name; repeatable")->type_name("NAME");
  run.add_option("--min-size", o.MinSize, "save only files larger than this many KB")->type_name("KB");
  run.add_option("--max-size", o.MaxSize, "save only files smaller than this many KB")->type_name("KB");
  run.add_flag("--no-size-limit", o.NoSizeLimit, "save files of any size (no HEAD request)");
  run.add_option("--save-folder", o.SaveFolder, "folder the mask folders go into")->type_name("DIR");
  run.add_option("--proxy", o.Proxy, "send requests through this HTTP proxy")->type_name("HOST:PORT");
  auto* user = run.add_option("--user", o.User, "log in to the start host with this user name");
  run.add_option("--password-file", o.PasswordFile, "read the login password from the first line of FILE")
      ->type_name("FILE")
      ->needs(user);
  run.add_flag("--library", o.Library, "catalogue the saved pictures in the image library");
  run.add_flag("--log", o.Log, "print the log lines even on a terminal");
  run.add_option("--checkpoint", o.Checkpoint, "save the running task to its file this often (default 30)")
      ->type_name("SECONDS")
      ->check(CLI::PositiveNumber);
}

int Main(int argc, char** argv) {
  CLI::App app{"Vendrake crawls web sites for pictures and saves them.", "vendrake-cli"};
  app.set_version_flag("--version", std::string("vendrake-cli ") + VENDRAKE_VERSION);
  app.require_subcommand(1);

  TRunOptions runOptions;
  auto* run = app.add_subcommand("run", "crawl a URL or run a task file to the end (Ctrl-C stops and saves)");
  AddRunOptions(*run, runOptions);

  std::string newName, newURL;
  auto* create = app.add_subcommand("new", "create a task file in the project folder");
  create->add_option("name", newName, "task name")->required();
  create->add_option("url", newURL, "start URL")->required();

  std::string showPath;
  bool showJson = false, showItems = false;
  auto* show = app.add_subcommand("show", "show a task file");
  show->add_option("task", showPath, "task file (.wrp)")->required();
  show->add_flag("--json", showJson, "machine-readable output");
  show->add_flag("--items", showItems, "include the work list");

  auto* list = app.add_subcommand("list", "list the project folder's tasks");

  auto* library = app.add_subcommand("library", "the image library (imglib.db)");
  library->require_subcommand(1);
  auto* libraryList = library->add_subcommand("list", "list the catalogued pictures");
  auto* libraryVerify = library->add_subcommand("verify", "check every record against its file");
  std::vector<std::string> addPaths;
  auto* libraryAdd = library->add_subcommand("add", "catalogue files and folders");
  libraryAdd->add_option("paths", addPaths, "files or folders")->required();

  auto* projects = app.add_subcommand("projects", "ready-made tasks from the project server");
  projects->require_subcommand(1);
  std::optional<std::string> projectServer;
  auto* projectsList = projects->add_subcommand("list", "the project lists and the projects not imported yet");
  projectsList->add_option("--server", projectServer, "this project server instead of the setting")
      ->type_name("HOST[:PORT]");
  std::vector<std::string> importNames;
  bool importAll = false;
  auto* projectsImport = projects->add_subcommand("import", "import projects as tasks into their category folders");
  projectsImport->add_option("names", importNames, "names of the projects to import (as projects list shows them)");
  projectsImport->add_flag("--all", importAll, "import every project not imported yet");
  projectsImport->add_option("--server", projectServer, "this project server instead of the setting")
      ->type_name("HOST[:PORT]");
  std::optional<std::string> newProjectServer;
  auto* projectsServer = projects->add_subcommand("server", "show the project server, or set it");
  projectsServer->add_option("address", newProjectServer, "HOST[:PORT] or an http(s):// address to use from now on");

  auto* settings = app.add_subcommand("settings", "the default options");
  settings->require_subcommand(1);
  auto* settingsShow = settings->add_subcommand("show", "show the settings");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kExitDone : kExitUsage;  // --help and --version end well
  }
  if (*run) return RunCommand(runOptions);
  if (*create) return NewCommand(newName, newURL);
  if (*show) return ShowCommand(showPath, showJson, showItems);
  if (*list) return ListCommand();
  if (*libraryList) return LibraryListCommand();
  if (*libraryVerify) return LibraryVerifyCommand();
  if (*libraryAdd) return LibraryAddCommand(addPaths);
  if (*settingsShow) return SettingsShowCommand();
  if (*projectsList) return ProjectsListCommand(projectServer);
  if (*projectsImport) return ProjectsImportCommand(importNames, importAll, projectServer);
  if (*projectsServer) return ProjectsServerCommand(newProjectServer);
  return kExitUsage;
}

}  // namespace
}  // namespace vdk::cli

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  try {
    return vdk::cli::Main(argc, argv);
  } catch (const vdk::cli::ECliError& e) {
    std::fprintf(stderr, "vendrake-cli: %s\n", e.what());
    return e.Code();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vendrake-cli: %s\n", e.what());
    return vdk::cli::kExitFiles;
  }
}
