#include "library/saved_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <ctime>
#include <memory>

#include "core/base/path_utils.h"

namespace vdk {

std::string KilobyteText(std::int64_t bytes) { return std::to_string(bytes / 1024) + " KB"; }

std::int64_t KilobytesOf(std::string_view sizeText) {
  if (sizeText.size() <= 3) return 0;
  const std::string_view digits = sizeText.substr(0, sizeText.size() - 3);
  std::int64_t value = 0;
  const auto [end, err] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return err == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

std::vector<TSavedFile> ListSavedFolder(const std::string& folder, std::stop_token stop) {
  std::vector<TSavedFile> files;
  const std::string prefix = AddSlash(folder);
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(prefix.c_str()), ::closedir);
  if (!dir) return files;
  while (!stop.stop_requested()) {
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string_view ext = ExtractFileExt(name);
    if (ext.find("!!wr") != std::string_view::npos) continue;
    std::string path = prefix + std::string(name);
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) continue;  // gone since it was read
    const std::int64_t size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::int64_t>(info.st_size);
    files.push_back({std::string(name), std::string(ext), KilobyteText(size), std::move(path)});
  }
  return files;
}

namespace {

constexpr std::int64_t kNanoseconds = 1000000000;
// Past the step of any file system clock.
constexpr std::int64_t kSettleNanoseconds = kNanoseconds;

std::int64_t Nanoseconds(const timespec& time) { return time.tv_sec * kNanoseconds + time.tv_nsec; }

}  // namespace

bool TFolderStamp::Holds(const TFolderStamp& now) const {
  return Settled && Exists == now.Exists && Device == now.Device && Inode == now.Inode && Modified == now.Modified &&
         Changed == now.Changed;
}

TFolderStamp StampFolder(const std::string& folder) {
  TFolderStamp stamp;
  timespec clock{};
  ::clock_gettime(CLOCK_REALTIME, &clock);
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) {
    // A missing folder stays missing until it is made, which the stamp shows.
    stamp.Settled = errno == ENOENT;
    return stamp;
  }
  stamp.Exists = true;
  stamp.Device = static_cast<std::uint64_t>(info.st_dev);
  stamp.Inode = static_cast<std::uint64_t>(info.st_ino);
  stamp.Modified = Nanoseconds(info.st_mtim);
  stamp.Changed = Nanoseconds(info.st_ctim);
  // An entry change sets the modification time to the clock's: one that
  // comes after a settled stamp always carries a later time.
  stamp.Settled = Nanoseconds(clock) - stamp.Modified >= kSettleNanoseconds;
  return stamp;
}

}  // namespace vdk
