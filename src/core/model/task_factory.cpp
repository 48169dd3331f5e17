#include "core/model/task_factory.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "core/url/uri.h"

namespace vdk {

std::string TaskNameOfURL(std::string_view url) {
  std::string name;
  for (const char c : WithoutUserInfo(url))
    if (std::string_view("*./:?\\").find(c) == std::string_view::npos) name += c;
  return name;
}

std::string NameFromURL(std::string_view url, const std::string& folder) {
  // Numbered by the task file's name, as UniqueFileName numbers files.
  const std::string unique = UniqueFileName(TaskFilePath(folder, TaskNameOfURL(url)));
  const std::string_view file = ExtractFileName(unique);
  return std::string(file.substr(0, file.size() - 4));
}

std::string TaskFilePath(const std::string& folder, const std::string& name) {
  return AddSlash(folder) + name + ".wrp";
}

std::shared_ptr<TTask> NewTask(const std::string& name, std::string_view url, const TRegOptions& defaults,
                               const std::string& folder) {
  auto task = std::make_shared<TTask>();
  task->Name = name;
  task->URL.SetURI(url);
  task->TaskID = NewGUID();
  task->Options.FileMasks = defaults.FileMasks;
  task->Options.DefaultFolder = AddSlash(defaults.DefaultFolder) + name + "/";
  task->FileName = TaskFilePath(folder, name);
  return task;
}

std::shared_ptr<TTask> CreateTaskFile(const std::string& name, std::string_view url, const TRegOptions& defaults,
                                      const std::string& folder) {
  auto task = NewTask(name, url, defaults, folder);
  struct stat st;
  if (::lstat(task->FileName.c_str(), &st) == 0) throw EFileError("A task file exists already:", task->FileName);
  std::error_code ec;
  std::filesystem::create_directories(task->Options.DefaultFolder + "Saved", ec);
  if (ec) throw EFileError("Cannot create the save folder", task->Options.DefaultFolder + "Saved", ec.value());
  // Another program may create the same file meanwhile: the final rename
  // refuses to replace it.
  CreateFileAtomically(task->FileName, 0600, [&task](std::ostream& out) { task->SaveToStream(out); });
  return task;
}

}  // namespace vdk
