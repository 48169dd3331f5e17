#include "app/cli/show_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/cli/cli_context.h"
#include "app/cli/cli_error.h"
#include "app/cli/json_text.h"
#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "core/settings/schedule.h"
#include "import/project_update_ctrl.h"

namespace vdk::cli {
namespace {

struct TItemCounts {
  int Total = 0, Done = 0, Waiting = 0;
};

TItemCounts CountItems(const TTask& task) {
  return {task.Items.Count(), task.FinishedCount(), task.Items.WaitingCount()};
}

std::string Joined(const std::vector<std::string>& list) {
  std::string out;
  for (const auto& entry : list) out += (out.empty() ? "" : "; ") + entry;
  return out.empty() ? "(none)" : out;
}

std::string ScheduleText(const TRegScheme& scheme) { return scheme.SchemeType == 0 ? "none" : Description(scheme); }

std::string State(const TItemCounts& counts) {
  if (counts.Total == 0) return "new";
  return counts.Done == counts.Total ? "done" : (counts.Done == 0 ? "not started" : "part done");
}

TJson OptionsJson(const TRegOptions& o) {
  return {{"save_folder", JsonText(o.DefaultFolder)},
          {"masks", JsonTexts(o.FileMasks)},
          {"exclude", JsonTexts(o.ExcludeFiles)},
          {"size_limit", o.EnableFileLimit},
          {"min_size_kb", o.FileMinSize},
          {"max_size_kb", o.FileMaxSize},
          {"depth", o.SeekDeep},
          {"timeout_s", o.TimeOut},
          {"use_proxy", o.UseProxyServer},
          {"proxy_host", JsonText(o.ProxyServerAddr)},
          {"proxy_port", o.ProxyServerPort},
          {"need_login", o.NeedToLogin},
          {"user", JsonText(o.UserName)},
          {"auto_save_log", o.AutoSaveLog},
          {"auto_shutdown", o.AutoShutDown},
          {"log_folder", JsonText(o.DefaultLogFolder)}};
}

TJson ScheduleJson(const TRegScheme& s) {
  return {{"type", static_cast<int>(s.SchemeType)},
          {"count", s.SchemeCount},
          {"start_date", static_cast<std::int64_t>(s.SchemeStartDate)},
          {"start_time_ms", static_cast<std::int64_t>(TimePart(s.SchemeStartTime) * 86400000.0 + 0.5)},
          {"description", JsonText(ScheduleText(s))}};
}

void PrintJson(const std::string& path, const TTask& task, bool items) {
  const TItemCounts counts = CountItems(task);
  TJson json = {
      {"file", JsonText(path)},
      {"name", JsonText(task.Name)},
      {"url", JsonText(WithoutUserInfo(task.URL.Text()))},
      {"note", JsonText(task.Note)},
      {"task_id", JsonText(task.TaskID)},
      {"saved_count", task.SavedCount()},
      {"options", OptionsJson(task.Options)},
      {"schedule", ScheduleJson(task.Options.Scheme)},
      {"items",
       {{"total", counts.Total}, {"done", counts.Done}, {"waiting", counts.Waiting}, {"state", State(counts)}}}};
  if (items) {
    TJson& list = json["work_list"] = TJson::array();
    task.Items.ForEach([&](const TaskItemPtr& item) {
      list.push_back(
          {{"done", item->Done()}, {"depth", item->Depth}, {"url", JsonText(WithoutUserInfo(item->URL().Text()))}});
    });
  }
  std::puts(json.dump().c_str());
}

// The option lines shared by a task and the default options.
void PrintOptionLines(const TRegOptions& o) {
  std::printf("Masks:         %s\n", Joined(o.FileMasks).c_str());
  std::printf("Exclude:       %s\n", Joined(o.ExcludeFiles).c_str());
  if (o.EnableFileLimit)
    std::printf("Size limit:    over %d KB and under %d KB\n", o.FileMinSize, o.FileMaxSize);
  else
    std::printf("Size limit:    off\n");
  std::printf("Depth:         %d\n", o.SeekDeep);
  std::printf("Time-out:      %d s\n", o.TimeOut);
  if (o.UseProxyServer) std::printf("Proxy:         %s:%d\n", o.ProxyServerAddr.c_str(), o.ProxyServerPort);
  if (o.NeedToLogin) std::printf("Login:         %s\n", o.UserName.c_str());
}

void PrintText(const std::string& path, const TTask& task, bool items) {
  const TItemCounts counts = CountItems(task);
  std::printf("Task file:     %s\n", path.c_str());
  std::printf("Name:          %s\n", task.Name.c_str());
  std::printf("URL:           %s\n", WithoutUserInfo(task.URL.Text()).c_str());
  if (!task.Note.empty()) std::printf("Note:          %s\n", task.Note.c_str());
  std::printf("Task ID:       %s\n", task.TaskID.c_str());
  std::printf("Save folder:   %s\n", task.Options.DefaultFolder.c_str());
  PrintOptionLines(task.Options);
  std::printf("Schedule:      %s\n", ScheduleText(task.Options.Scheme).c_str());
  std::printf("Saved files:   %d\n", task.SavedCount());
  std::printf("Items:         %d found, %d done, %d waiting (%s)\n", counts.Total, counts.Done, counts.Waiting,
              State(counts).c_str());
  if (!items) return;
  task.Items.ForEach([](const TaskItemPtr& item) {
    std::printf("  %s %2d %s\n", item->Done() ? "[x]" : "[ ]", item->Depth,
                WithoutUserInfo(item->URL().Text()).c_str());
  });
}

void ListFolder(const std::filesystem::path& folder, const std::string& indent) {
  std::vector<std::filesystem::directory_entry> entries;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) entries.push_back(entry);
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory(ec)) {
      std::printf("%s%s/\n", indent.c_str(), name.c_str());
      ListFolder(entry.path(), indent + "  ");
    } else if (SameText(ExtractFileExt(name), ".wrp")) {
      TTask task;
      try {
        task.LoadFromFile(entry.path().string());
      } catch (const std::exception& e) {
        std::printf("%s%s  (unreadable: %s)\n", indent.c_str(), name.c_str(), e.what());
        continue;
      }
      const TItemCounts counts = CountItems(task);
      std::printf("%s%s  [%s, %d/%d items]  %s\n", indent.c_str(), task.Name.c_str(), State(counts).c_str(),
                  counts.Done, counts.Total, WithoutUserInfo(task.URL.Text()).c_str());
    }
  }
}

}  // namespace

int ShowCommand(const std::string& path, bool json, bool items) {
  const auto task = LoadTaskFile(path);
  if (json)
    PrintJson(path, *task, items);
  else
    PrintText(path, *task, items);
  return kExitDone;
}

int ListCommand() {
  const TCliContext context = LoadContext();
  std::printf("All Tasks (%s)\n", context.ProjectFolder().c_str());
  ListFolder(context.ProjectFolder(), "  ");
  return kExitDone;
}

int SettingsShowCommand() {
  const TCliContext context = LoadContext();
  const TRegOptions& o = context.Defaults();
  std::printf("Vendrake home: %s\n", context.Home.c_str());
  std::printf("Projects:      %s\n", o.ProjectPath.c_str());
  std::printf("Downloads:     %s\n", o.DefaultFolder.c_str());
  std::printf("Logs:          %s\n", o.DefaultLogFolder.c_str());
  std::printf("Library:       %s\n", context.LibraryFile().c_str());
  std::printf("Import from:   %s (ProjectServer \"%s\")\n", ProjectServerBase(context.Settings->ProjectServer).c_str(),
              context.Settings->ProjectServer.c_str());
  PrintOptionLines(o);
  std::printf("Save log:      %s\n", o.AutoSaveLog ? "yes" : "no");
  std::printf("Shut down:     %s\n", o.AutoShutDown ? "when the running tasks have finished" : "no");
  return kExitDone;
}

}  // namespace vdk::cli
