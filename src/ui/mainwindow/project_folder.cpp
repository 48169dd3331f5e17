#include "ui/mainwindow/project_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "core/model/task.h"
#include "core/model/task_file_lock.h"
#include "ui/mainwindow/node_kinds.h"

namespace vdk {
namespace {

constexpr std::size_t kNameOffset = 11;
constexpr std::size_t kNameWidth = 1024;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// The entry names of a folder without "." and "..", in no particular order.
std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  DirHandle dir(::opendir(folder.c_str()));
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  return names;
}

// Folded ASCII first, so "b" sorts between "A" and "C"; bytes break ties.
bool LessByName(const std::string& a, const std::string& b) {
  const std::string la = LowerCase(a), lb = LowerCase(b);
  return la != lb ? la < lb : a < b;
}

std::string BaseName(const std::string& name) {
  const std::string_view ext = ExtractFileExt(name);
  return name.substr(0, name.size() - ext.size());
}

TProjectEntry TaskEntry(const std::string& path, const std::string& name, const struct stat& st) {
  TProjectEntry entry{kTaskIcon, {}, path, {}, {}};
  try {
    entry.Caption = ReadTaskCaption(path);
    if (static_cast<std::size_t>(st.st_size) < TTask::kItemsOffset)
      entry.Problem = "The task file is shorter than its header and options.";
  } catch (const EVendrakeError& e) {
    entry.Problem = e.what();
  }
  if (!entry.Problem.empty()) entry.Caption = BaseName(name);
  return entry;
}

void Scan(const std::string& folder, bool showAllFiles, int depth, std::vector<TProjectEntry>& out) {
  std::vector<std::string> names = ListNames(folder);
  std::sort(names.begin(), names.end(), LessByName);
  for (const std::string& name : names) {
    const std::string path = folder + name;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      TProjectEntry entry{kFolderIcon, name, path, {}, {}};
      if (depth < kMaxTreeDepth) Scan(path + "/", showAllFiles, depth + 1, entry.Children);
      out.push_back(std::move(entry));
    } else if (S_ISREG(st.st_mode) && SameText(ExtractFileExt(name), ".wrp")) {
      out.push_back(TaskEntry(path, name, st));
    } else if (showAllFiles && !TTaskFileLock::IsLockName(name)) {  // a run's lock is not the user's file
      out.push_back({kFileIcon, name, path, {}, {}});
    }
  }
}

}  // namespace

std::vector<TProjectEntry> ScanProjectFolder(const std::string& folder, bool showAllFiles) {
  std::vector<TProjectEntry> entries;
  Scan(AddSlash(folder), showAllFiles, 1, entries);
  return entries;
}

std::string ReadTaskCaption(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must never wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw EFileError("Cannot open the task file", path, errno);
  std::array<char, kNameOffset + kNameWidth> header{};
  std::size_t got = 0;
  while (got < header.size()) {
    const ssize_t n = ::read(fd, header.data() + got, header.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  const std::string_view field(header.data() + kNameOffset, kNameWidth);
  return std::string(field.substr(0, field.find('\0')));
}

std::string JoinPath(const std::string& parent, const std::string& name) { return AddSlash(parent) + name; }

bool IsFolderPath(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool DeleteFolderTree(const std::string& folder, const std::function<void(const std::string&)>& report) {
  bool ok = true;
  for (const std::string& name : ListNames(AddSlash(folder))) {
    const std::string path = JoinPath(folder, name);
    if (IsFolderPath(path)) {
      ok = DeleteFolderTree(path, report) && ok;
    } else if (::unlink(path.c_str()) != 0) {
      report("Delete file " + path + " failed !");
      ok = false;
    }
  }
  if (::rmdir(folder.c_str()) != 0) {
    report("Delete directory " + folder + " failed !");
    ok = false;
  }
  return ok;
}

std::string CheckFolderName(const std::string& name) {
  if (name.empty()) return "Please enter a folder name.";
  if (name == "." || name == "..") return "\"" + name + "\" cannot be used as a folder name.";
  if (name.find('/') != std::string::npos) return "A folder name may not hold \"/\".";
  return {};
}

}  // namespace vdk
