#include "platform/registry_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <ostream>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "platform/damaged_file.h"
#include "platform/file_lock.h"
#include "platform/reg_text.h"
#include "platform/vendrake_folders.h"

namespace vdk {
namespace {

// A store this large is damage, not settings; reading it would only cost memory.
constexpr off_t kMaxStoreSize = 16 << 20;

// The whole file, or none when it does not exist. Raises EFormatError for a
// file too large to be a store and EFileError when it cannot be read.
std::optional<std::string> ReadStoreFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw EFileError("Cannot open", path, errno);
  }
  struct stat st;
  std::string text;
  int err = ::fstat(fd, &st) == 0 ? 0 : errno;
  if (err == 0 && st.st_size > kMaxStoreSize) {
    ::close(fd);
    throw EFormatError("The settings store " + path + " is too large");
  }
  text.resize(static_cast<std::size_t>(err == 0 ? st.st_size : 0));
  std::size_t done = 0;
  while (err == 0 && done < text.size()) {
    const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0) {
      text.resize(done);
    } else if (errno != EINTR) {
      err = errno;
    }
  }
  ::close(fd);
  if (err != 0) throw EFileError("Cannot read", path, err);
  return text;
}

}  // namespace

bool TRegistryFile::FileStamp::operator==(const FileStamp& other) const {
  return Exists == other.Exists && Device == other.Device && Inode == other.Inode && Size == other.Size &&
         Modified.tv_sec == other.Modified.tv_sec && Modified.tv_nsec == other.Modified.tv_nsec;
}

TRegistryFile::FileStamp TRegistryFile::StampOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};
  return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

bool TRegistryFile::OpenKey(std::string_view key, bool canCreate) {
  if (stamp_ != StampOf(path_)) {
    tree_ = ReadStore(false);
    for (const TRegChange& change : journal_) change.ApplyTo(tree_);
  }
  return TMemoryRegistry::OpenKey(key, canCreate);
}

void TRegistryFile::Change(const TRegChange& change) {
  TMemoryRegistry::Change(change);
  journal_.push_back(change);
}

void TRegistryFile::Flush() {
  if (journal_.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(std::string(ExtractFilePath(path_)), ec);
  const TFileLock lock(LockPath());
  TRegTree tree = ReadStore(true);
  const std::string before = FormatRegText(tree);
  for (const TRegChange& change : journal_) change.ApplyTo(tree);
  const std::string after = FormatRegText(tree);
  if (after != before) {
    WriteFileAtomically(path_, 0600, [&after](std::ostream& out) { out << after; });
    stamp_ = StampOf(path_);
  }
  tree_ = std::move(tree);
  journal_.clear();
}

TRegTree TRegistryFile::ReadStore(bool locked) {
  // The stamp is taken before reading: should the file be replaced in
  // between, the next OpenKey simply reads it again.
  const FileStamp stamp = StampOf(path_);
  try {
    const auto text = ReadStoreFile(path_);
    TRegTree tree = text ? ParseRegText(*text) : TRegTree{};
    stamp_ = stamp;
    return tree;
  } catch (const EFormatError&) {
    // Another process may be replacing the file right now; only what is
    // still unreadable under the lock is damaged.
    if (!locked) {
      const TFileLock lock(LockPath());
      return ReadStore(true);
    }
  }
  SetAside();
  stamp_ = FileStamp{};
  return {};
}

void TRegistryFile::SetAside() { keptAs_ = KeepDamagedFile(path_); }

std::unique_ptr<TRegistry> OpenUserRegistry() {
  return std::make_unique<TRegistryFile>(VendrakeConfigFolder() + "registry.reg");
}

}  // namespace vdk
