#include "app/cli/run_command.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/cli/cli_context.h"
#include "app/cli/cli_error.h"
#include "app/cli/interrupt_watcher.h"
#include "app/cli/task_options.h"
#include "app/cli/terminal_views.h"
#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "core/model/task_factory.h"
#include "core/model/task_file_lock.h"
#include "core/run/checkpoint.h"
#include "core/run/event_loop.h"
#include "core/run/task_thread.h"
#include "library/add_image_thread_list.h"
#include "library/library_merge.h"

namespace vdk::cli {
namespace {

// Stopped workers end within a fraction of a second; this only bounds a
// machine that has stalled.
constexpr auto kWorkerExitWait = std::chrono::seconds(10);
constexpr auto kProgressInterval = std::chrono::milliseconds(500);

bool IsTaskFileArgument(const std::string& target) {
  std::error_code ec;
  return SameText(ExtractFileExt(target), ".wrp") || std::filesystem::is_regular_file(target, ec);
}

// The task of a URL: the project folder's task of that name and URL when it
// exists (a later run resumes it), otherwise a new task file.
std::shared_ptr<TTask> TaskForURL(const TCliContext& context, const std::string& url) {
  RequireCrawlableURL(url);
  const std::string folder = context.ProjectFolder();
  const std::string existing = TaskFilePath(folder, TaskNameOfURL(url));
  std::error_code ec;
  if (std::filesystem::exists(existing, ec)) {
    auto task = LoadTaskFile(existing);
    if (task->URL.Text() == TIdURI(url).Text()) return task;
  }
  try {
    return CreateTaskFile(NameFromURL(url, folder), url, context.Defaults(), folder);
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, e.what());
  }
}

// The adapter from the engine's saved files to the add-image workers.
class TLibraryQueue : public TImageQueue {
 public:
  explicit TLibraryQueue(TAddImageThreadList& workers) : workers_(workers) {}
  void Queue(const std::string& path) override { workers_.Queue(path); }

 private:
  TAddImageThreadList& workers_;
};

void SaveLibrary(const TCliContext& context, TAddImageThreadList& workers, const TImageLibrary& additions,
                 bool interrupted) {
  if (interrupted) {
    workers.Stop();
  } else {
    std::fprintf(stderr, "Cataloguing %d pictures...\n", additions.Count());
    workers.WaitUntilIdle();
  }
  try {
    std::string keptAs;
    MergeIntoLibraryFile(context.LibraryFile(), additions, &keptAs);
    if (!keptAs.empty()) WarnKeptAside("The image library", context.LibraryFile(), keptAs);
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, std::string("Cannot save the image library: ") + e.what());
  }
}

// A run holds its task file, so that a second run of the same task refuses
// instead of fetching everything again and overwriting the first one's file.
std::unique_ptr<TTaskFileLock> HoldTaskFile(const TTask& task) {
  std::unique_ptr<TTaskFileLock> lock;
  try {
    lock = TTaskFileLock::TryLock(task.FileName);
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, e.what());
  }
  if (!lock)
    throw ECliError(kExitBusy, "The task \"" + task.Name + "\" is running in another process (" + task.FileName +
                                   "); run it again when that run has ended");
  return lock;
}

void SaveTask(const TTask& task) {
  try {
    task.SaveToFile(task.FileName);
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, std::string("cannot save the task: ") + e.what());
  }
}

// A checkpoint that cannot be written is reported; the run goes on, and the
// next checkpoint tries again.
void SaveCheckpoint(TCheckpoint& checkpoint, const TTask& task) {
  try {
    checkpoint.Tick(task);
  } catch (const EVendrakeError& e) {
    std::fprintf(stderr, "vendrake-cli: cannot save the task: %s\n", e.what());
  }
}

void ReportFailedSaves(const TTask& task) {
  std::fprintf(stderr, "vendrake-cli: %d files could not be saved (the log says why)\n", task.FailedSaveCount());
  if (!task.NoRoomFailure().empty())
    std::fprintf(stderr,
                 "vendrake-cli: the disk is full: the run stopped; make room and run the task again to save the "
                 "files not saved\n");
}

void PrintSummary(const TTask& task, const TTerminalViews& views, bool interrupted) {
  const char* const end = interrupted ? "Stopped" : !task.StartFailure().empty() ? "Failed" : "Done";
  std::printf("%s after %.1f s: %d pages, %d files, %s saved under %s\n", end, views.Seconds(), views.Pages(),
              views.Files(), FormatBytes(views.Bytes()).c_str(), task.Options.DefaultFolder.c_str());
  std::printf("Task file: %s (%d of %d items done)\n", task.FileName.c_str(), task.FinishedCount(), task.Items.Count());
  if (interrupted) std::printf("Run it again to resume with the items not done.\n");
}

}  // namespace

int RunCommand(const TRunOptions& options) {
  TCliContext context = LoadContext();
  std::shared_ptr<TTask> task =
      IsTaskFileArgument(options.Target) ? LoadTaskFile(options.Target) : TaskForURL(context, options.Target);
  const auto hold = HoldTaskFile(*task);
  ApplyRunOptions(options, *task);
  CheckSaveFolder(task->Options.DefaultFolder);
  // Saved with this run's options before it starts: a crash keeps them.
  SaveTask(*task);

  auto loop = std::make_shared<TEventLoop>();
  TInterruptWatcher interrupt([&loop] { loop->Wake(); });
  const bool progressLine = !options.Log && ::isatty(STDOUT_FILENO);
  TTerminalViews views(stdout, progressLine);
  TImageLibrary additions;
  std::optional<TAddImageThreadList> cataloguers;
  std::optional<TLibraryQueue> libraryQueue;
  if (options.Library) {
    cataloguers.emplace(additions);
    libraryQueue.emplace(*cataloguers);
  }

  bool finished = false;
  task->Synchronizer = loop;
  task->LogView = &views;
  task->ImagesView = &views;
  task->ImageQueue = libraryQueue ? &*libraryQueue : nullptr;
  task->Displayed = true;
  // The end of the run ends the wait for the next progress tick at once.
  task->OnFinished = [&finished, &loop](TTask&) {
    finished = true;
    loop->Wake();
  };
  const bool afresh = task->AllDone();
  if (afresh)
    std::printf("Every item of the task is done: crawling %s afresh.\n", WithoutUserInfo(task->URL.Text()).c_str());
  std::printf("Crawling %s into %s\n", WithoutUserInfo(task->URL.Text()).c_str(), task->Options.DefaultFolder.c_str());
  try {
    if (afresh)
      task->Restart();
    else
      task->Start();
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitUsage, e.what());
  }
  TCheckpoint checkpoint(options.Checkpoint ? std::chrono::seconds(*options.Checkpoint) : TCheckpoint::kInterval);
  while (!finished && !interrupt.Interrupted()) {
    loop->ProcessFor(kProgressInterval);
    views.ShowProgress(*task);
    SaveCheckpoint(checkpoint, *task);
  }
  const bool interrupted = !finished;
  if (interrupted) task->Stop();
  const bool stoppedEarly = interrupted || !task->NoRoomFailure().empty();
  views.ShowProgress(*task);
  views.EndProgress();

  int code = interrupted ? kExitInterrupted : kExitDone;
  if (!task->StartFailure().empty()) {
    std::fprintf(stderr, "vendrake-cli: the start URL could not be fetched (%s)\n", task->StartFailure().c_str());
    code = kExitNetwork;
  }
  if (task->FailedSaveCount() > 0) {
    ReportFailedSaves(*task);
    if (code == kExitDone) code = kExitFiles;
  }
  try {
    task->FinishRun();
  } catch (const EVendrakeError& e) {
    std::fprintf(stderr, "vendrake-cli: cannot save the task: %s\n", e.what());
    code = kExitFiles;
  }
  if (cataloguers) SaveLibrary(context, *cataloguers, additions, interrupted);
  PrintSummary(*task, views, stoppedEarly);
  // Stopped workers leave calls behind that hold the task; they are dropped
  // once the workers are gone. Workers that have not returned in time keep
  // what they hold (the task, the loop) until the process ends.
  if (TTaskThread::WaitForAll(kWorkerExitWait))
    loop->ProcessPending();
  else
    std::fprintf(stderr, "vendrake-cli: %d workers did not end in time\n", TTaskThread::LiveCount());
  return code;
}

int NewCommand(const std::string& name, const std::string& url) {
  if (name.empty() || !IsValidTaskName(name))
    throw ECliError(kExitUsage,
                    "Invalid task name \"" + name + "\": it may not hold \" # $ % & ' * + , . / : ; < > ? @ \\ ^ |");
  RequireCrawlableURL(url);
  const TCliContext context = LoadContext();
  try {
    const auto task = CreateTaskFile(name, url, context.Defaults(), context.ProjectFolder());
    std::printf("%s\n", task->FileName.c_str());
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, e.what());
  }
  return kExitDone;
}

}  // namespace vdk::cli
