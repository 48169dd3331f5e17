#include "core/run/partial_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <unordered_set>

namespace vdk {
namespace {

// The partial files of this process. Worker threads are detached and may
// still create or release one while the process exits, so the registry is
// never destroyed.
struct TRegistry {
  std::mutex Lock;
  std::unordered_set<std::string> Owned;
};
TRegistry& Registry() {
  static auto* const registry = new TRegistry;
  return *registry;
}

bool Owned(const std::string& path) {
  std::lock_guard lock(Registry().Lock);
  return Registry().Owned.count(path) != 0;
}

// Whether the name still leads to the open file: its writer may have renamed
// it and closed it, and another writer taken the name, since it was opened.
bool StillNamed(int dirFd, const char* name, int fd) {
  struct stat named {
  }, open{};
  return ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// Deletes the file unless another process holds its lock.
void DeleteIfUnlocked(int dirFd, const char* name) {
  const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    // A link or an unreadable file. A name that has gone meanwhile may already
    // be a new writer's file: leave it.
    if (errno == ELOOP || errno == EACCES) ::unlinkat(dirFd, name, 0);
    return;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(dirFd, name, fd)) ::unlinkat(dirFd, name, 0);
  ::close(fd);
}

// Another process's clean-up may open a new file before its writer locks it,
// and delete it. Waiting for the lock and then finding the file still under
// its name tells that no clean-up took it, nor can any from now on.
bool LockedUnderItsName(const ReservedFile& file) {
  while (::flock(file.Fd, LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  return StillNamed(AT_FDCWD, file.Temporary.c_str(), file.Fd);
}

}  // namespace

ReservedFile CreatePartialFile(const std::string& wantedPath) {
  // Created, locked and recorded under the registry lock, so a clean-up in
  // this process that lists the new name finds it owned.
  std::lock_guard lock(Registry().Lock);
  for (;;) {
    ReservedFile file = ReserveUniqueFile(wantedPath, kPartialSuffix);
    if (LockedUnderItsName(file)) {
      Registry().Owned.insert(file.Temporary);
      return file;
    }
    ::close(file.Fd);
  }
}

void ReleasePartialFile(const std::string& temporaryPath) {
  std::lock_guard lock(Registry().Lock);
  Registry().Owned.erase(temporaryPath);
}

void DeleteLeftoverPartials(const std::string& folder) {
  const std::string base = AddSlash(folder);
  DIR* dir = ::opendir(base.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!name.ends_with(kPartialSuffix) || Owned(base + entry->d_name)) continue;
    struct stat st;
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)) continue;
    DeleteIfUnlocked(dirFd, entry->d_name);
  }
  ::closedir(dir);
}

}  // namespace vdk
