#include "app/cli/projects_command.h"

#include <cstdio>

#include "app/cli/cli_context.h"
#include "app/cli/cli_error.h"
#include "core/base/errors.h"
#include "core/run/event_loop.h"
#include "import/import_file_list_thread.h"
#include "import/project_folder_target.h"
#include "import/project_import.h"

namespace vdk::cli {
namespace {

// What the import threads found, collected on the main thread.
class TProjectListing : public TImportView {
 public:
  void IndexLoading() override {}
  void GroupAdded(const std::shared_ptr<TImportFileThread>& group) override { Groups.push_back(group); }
  void GroupLoaded(const TImportFileThread&) override { ++loaded_; }
  void IndexLoaded(const std::string& failure) override {
    IndexFailure = failure;
    indexDone_ = true;
  }
  bool Done() const { return indexDone_ && loaded_ == static_cast<int>(Groups.size()); }

  std::vector<std::shared_ptr<TImportFileThread>> Groups;
  std::string IndexFailure;

 private:
  bool indexDone_ = false;
  int loaded_ = 0;
};

std::string ServerSetting(const TCliContext& context, const std::optional<std::string>& server) {
  if (!server) return context.Settings->ProjectServer;
  if (!IsValidProjectServer(*server))
    throw ECliError(kExitUsage,
                    "Invalid project server \"" + *server + "\": give HOST[:PORT] or an http(s):// address");
  return *server;
}

// Runs the list and file threads to their end, as the import dialog does.
TProjectListing LoadListing(const TCliContext& context, const std::string& base) {
  TProjectListing listing;
  auto loop = std::make_shared<TEventLoop>();
  try {
    const auto known = std::make_shared<const TExistNames>(*context.Settings->Registry);
    TImportFileListThread threads(loop, listing, known, base);
    loop->ProcessUntil([&] { return listing.Done(); });
  } catch (const ERegistryError& e) {
    throw ECliError(kExitFiles, e.what());
  }
  if (!listing.IndexFailure.empty())
    throw ECliError(kExitNetwork, "Cannot read the project index: " + listing.IndexFailure);
  return listing;
}

// The projects offered, in index order and then file order.
std::vector<TProjectItemPtr> Offered(const TProjectListing& listing) {
  std::vector<TProjectItemPtr> projects;
  for (const auto& group : listing.Groups)
    projects.insert(projects.end(), group->NewItems().begin(), group->NewItems().end());
  return projects;
}

TProjectItemPtr FindOffered(const std::vector<TProjectItemPtr>& offered, const std::string& name) {
  for (const auto& project : offered)
    if (project->Name == name) return project;
  throw ECliError(kExitUsage, "\"" + name + "\" is not offered (see vendrake-cli projects list)");
}

}  // namespace

int ProjectsListCommand(const std::optional<std::string>& server) {
  const TCliContext context = LoadContext();
  const std::string base = ProjectServerBase(ServerSetting(context, server));
  const TProjectListing listing = LoadListing(context, base);
  std::printf("Project server: %s\n", base.c_str());
  for (const auto& group : listing.Groups) {
    if (!group->Projects())
      std::printf("%s  (could not be loaded)\n", group->FileName.c_str());
    else if (group->NewItems().empty())
      std::printf("%s  (nothing new)\n", group->FileName.c_str());
    else
      std::printf("%s\n", group->FileName.c_str());
    for (const auto& project : group->NewItems())
      std::printf("  %s  [%s]  %s\n", project->Name.c_str(), project->Category.c_str(), project->URL.c_str());
  }
  if (listing.Groups.empty()) std::printf("(no project lists)\n");
  return kExitDone;
}

int ProjectsImportCommand(const std::vector<std::string>& names, bool all, const std::optional<std::string>& server) {
  if (all == !names.empty()) throw ECliError(kExitUsage, "Give the names of projects to import, or --all");
  const TCliContext context = LoadContext();
  const TProjectListing listing = LoadListing(context, ProjectServerBase(ServerSetting(context, server)));
  const std::vector<TProjectItemPtr> offered = Offered(listing);
  std::vector<TProjectItemPtr> chosen;
  if (all) chosen = offered;
  for (const std::string& name : names) chosen.push_back(FindOffered(offered, name));

  TProjectFolderTarget target(context.ProjectFolder());
  TProjectImporter importer(target, context.Defaults());
  int failures = 0;
  for (const auto& project : chosen) {
    const TImportOutcome outcome = importer.ImportProject(*project);
    if (outcome.Status == TImportStatus::Imported) {
      std::printf("Imported %s: %s\n", project->Name.c_str(), outcome.TaskFile.c_str());
    } else {
      std::printf("Skipped %s: %s\n", project->Name.c_str(), outcome.Message.c_str());
      failures += outcome.Status == TImportStatus::Exists ? 0 : 1;
    }
  }
  if (chosen.empty()) std::printf("Nothing new to import\n");
  try {
    TExistNames known(*context.Settings->Registry);
    importer.SaveNames(known);
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, std::string("Cannot remember the imported projects: ") + e.what());
  }
  return failures == 0 ? kExitDone : kExitFiles;
}

int ProjectsServerCommand(const std::optional<std::string>& server) {
  TCliContext context = LoadContext();
  if (server) {
    context.Settings->ProjectServer = ServerSetting(context, server);
    try {
      context.Settings->SaveProjectServer();
    } catch (const EVendrakeError& e) {
      throw ECliError(kExitFiles, std::string("Cannot save the settings: ") + e.what());
    }
  }
  std::printf("%s\n", ProjectServerBase(context.Settings->ProjectServer).c_str());
  return kExitDone;
}

}  // namespace vdk::cli
