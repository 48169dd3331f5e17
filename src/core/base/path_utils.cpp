#include "core/base/path_utils.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/base/errors.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The candidates of UniqueFileName after the path itself.
class NumberedNames {
 public:
  explicit NumberedNames(std::string_view path) {
    const std::string_view name = ExtractFileName(path);
    folder_ = ExtractFilePath(path);
    ext_ = ExtractFileExt(name);
    base_ = name.substr(0, name.find('.'));
  }
  std::string operator()(unsigned long n) const {
    return std::string(folder_) + std::string(base_) + "[" + std::to_string(n) + "]" + std::string(ext_);
  }

 private:
  std::string_view folder_, base_, ext_;
};

}  // namespace

std::string AddSlash(std::string_view path) {
  std::string out(path);
  if (!out.empty() && out.back() != '/') out += '/';
  return out;
}

std::string_view ExtractFileName(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ExtractFilePath(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view ExtractFileExt(std::string_view path) {
  const std::string_view name = ExtractFileName(path);
  const auto dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string UniqueFileName(const std::string& path) {
  if (!Exists(path)) return path;
  const NumberedNames names(path);
  for (unsigned long n = 0;; ++n) {
    std::string candidate = names(n);
    if (!Exists(candidate)) return candidate;
  }
}

ReservedFile ReserveUniqueFile(const std::string& path, std::string_view suffix) {
  const NumberedNames names(path);
  for (unsigned long n = 0;; ++n) {
    ReservedFile file;
    file.Wanted = path;
    file.Final = n == 0 ? path : names(n - 1);
    if (Exists(file.Final)) continue;
    file.Temporary = file.Final + std::string(suffix);
    file.Fd = ::open(file.Temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file.Fd >= 0) return file;
    if (errno != EEXIST) throw EFileError("Cannot create", file.Temporary, errno);
  }
}

int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without RENAME_NOREPLACE: link refuses an existing target.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

int RenameReservedFile(ReservedFile& file) {
  int err = RenameNoReplace(file.Temporary, file.Final);
  const NumberedNames names(file.Wanted);
  for (unsigned long n = 0; err == EEXIST; ++n) {
    std::string candidate = names(n);
    if (Exists(candidate)) continue;
    err = RenameNoReplace(file.Temporary, candidate);
    if (err == 0) file.Final = std::move(candidate);
  }
  return err;
}

bool IsValidTaskName(std::string_view name) {
  constexpr std::string_view kInvalid = "\"#$%&'*+,./:;<>?@\\^|";
  return name.find_first_of(kInvalid) == std::string_view::npos;
}

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") return true;
  // Greedy match with one backtrack point, linear in practice.
  std::size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

void DeleteMatchingFiles(const std::string& pattern) {
  const std::string folder(ExtractFilePath(pattern));
  const std::string_view wildcard = ExtractFileName(pattern);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !MatchesWildcard(name, wildcard)) continue;
    struct stat st;
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)) continue;
    ::unlinkat(dirFd, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace vdk
