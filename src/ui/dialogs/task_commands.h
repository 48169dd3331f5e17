#pragma once

#include <optional>
#include <string>

#include "core/model/reg_options.h"
#include "core/model/task.h"

class QWidget;

namespace vdk {

// What the main window shows when Properties meets a running task.
inline constexpr char kTaskRunningMessage[] = "Sorry, current task is running ... Please stop it and try again.";

// A task file written by the "New" command.
struct TNewTaskFile {
  std::string Name;
  std::string FileName;  // folder + name + ".wrp"
};

// The "New" command's dialog for a task file in folder, seeded from the
// default options; with a browser request its URL names the task and the
// clipboard is not read. On OK the task gets a new TaskID and is written to
// folder + name + ".wrp", which must not exist yet: an existing task file is
// never replaced (an Error box says so). None when cancelled or not written.
// The caller puts the new file into its task tree.
std::optional<TNewTaskFile> RunNewTask(QWidget* parent, const TRegOptions& defaults, const std::string& folder,
                                       const std::optional<std::string>& browserURL = std::nullopt);

// The "Properties" command on a loaded task: refused with
// kTaskRunningMessage while the task runs, also when it started (by its
// schedule) while the dialog was open. On OK the task takes the dialog's
// fields and is written to path (its node's file; the file name does not
// change with the task's name). True when the task was changed, so the
// caller forgets what its schedule remembered.
bool RunTaskProperties(QWidget* parent, TTask& task, const std::string& path);

}  // namespace vdk
