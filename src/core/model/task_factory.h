#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/model/reg_options.h"
#include "core/model/task.h"

namespace vdk {

// A task name made from a URL: the URL without its user-info part and its
// "*", ".", "/", ":", "?" and "\" characters.
std::string TaskNameOfURL(std::string_view url);
// TaskNameOfURL, numbered like UniqueFileName when a task file of that name
// already exists in the folder.
std::string NameFromURL(std::string_view url, const std::string& folder);

// The path of a task's file in a folder: folder + name + ".wrp".
std::string TaskFilePath(const std::string& folder, const std::string& name);

// A new task with the standard options for a name and a URL: the size filter
// on (10 KB to 10240 KB), depth 5, the default masks, no schedule, a new
// TaskID, and the save folder defaults.DefaultFolder + name + "/". The task
// is not saved; its FileName is TaskFilePath(folder, name).
std::shared_ptr<TTask> NewTask(const std::string& name, std::string_view url, const TRegOptions& defaults,
                               const std::string& folder);

// NewTask, then its "Saved" folder created (with its parents) and the task
// file written. An existing task file is never replaced: EFileError.
std::shared_ptr<TTask> CreateTaskFile(const std::string& name, std::string_view url, const TRegOptions& defaults,
                                      const std::string& folder);

}  // namespace vdk
