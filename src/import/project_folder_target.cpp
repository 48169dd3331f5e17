#include "import/project_folder_target.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <vector>

#include "core/base/fixed_fields.h"
#include "core/base/path_utils.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

// The task name's field in a task file's header.
constexpr std::size_t kNameOffset = 11;
constexpr std::size_t kNameSize = 1024;

struct TEntry {
  std::string Name;
  bool Folder = false;
};

// The folder's folders and regular task files, in the file system's order.
std::vector<TEntry> ListFolder(const std::string& folder) {
  std::vector<TEntry> entries;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return entries;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (::lstat((folder + "/" + name).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode))
      entries.push_back({name, true});
    else if (S_ISREG(st.st_mode) && SameText(ExtractFileExt(name), ".wrp"))
      entries.push_back({name, false});
  }
  return entries;
}

}  // namespace

TProjectFolderTarget::TProjectFolderTarget(std::string projectFolder) : root_(std::move(projectFolder)) {
  while (root_.size() > 1 && root_.ends_with('/')) root_.pop_back();
}

std::string TProjectFolderTarget::TaskCaption(const std::string& path) {
  std::array<char, kNameOffset + kNameSize> header{};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return "";
  std::size_t got = 0;
  while (got < header.size()) {
    const ssize_t n = ::read(fd, header.data() + got, header.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return GetText(header, kNameOffset, kNameSize);
}

std::optional<std::string> TProjectFolderTarget::FindIn(const std::string& folder, const std::string& caption,
                                                        int depth) const {
  if (depth > kMaxDepth) return std::nullopt;
  for (const TEntry& entry : ListFolder(folder)) {
    const std::string path = folder + "/" + entry.Name;
    if (!entry.Folder) {
      if (TaskCaption(path) == caption) return folder;
      continue;
    }
    if (entry.Name == caption) return path;
    if (auto found = FindIn(path, caption, depth + 1)) return found;
  }
  return std::nullopt;
}

std::optional<std::string> TProjectFolderTarget::FindCategory(const std::string& category) {
  return FindIn(root_, category, 0);
}

std::string TProjectFolderTarget::CreateCategory(const std::string& category) {
  const std::string path = root_ + "/" + category;
  ::mkdir(path.c_str(), 0777);  // an existing folder is used as it is
  return path;
}

}  // namespace vdk
