#include "core/base/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <ostream>
#include <vector>

#include "core/base/errors.h"
#include "support/temp_dir.h"

namespace {

// Runs once right after the next change of the umask, as another thread
// creating a file at that moment would.
std::function<void()> afterUmaskChange;

}  // namespace

// Stands in for the C library's umask in this test program: the kernel's,
// then the hook.
extern "C" mode_t umask(mode_t mask) noexcept {
  const auto old = static_cast<mode_t>(::syscall(SYS_umask, mask));
  if (auto hook = std::exchange(afterUmaskChange, nullptr)) hook();
  return old;
}

namespace vdk {
namespace {

using test::TempDir;

mode_t ModeOfNewFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  struct stat st {};
  ::fstat(fd, &st);
  ::close(fd);
  return st.st_mode & 0777;
}

TEST(DefaultFileMode, FollowsTheUmaskWithoutChangingIt) {
  TempDir dir;
  const mode_t saved = ::umask(022);
  // A file another thread creates while the mode is read gets the user's mask.
  std::vector<mode_t> meanwhile;
  afterUmaskChange = [&] { meanwhile.push_back(ModeOfNewFile(dir / "meanwhile")); };
  EXPECT_EQ(DefaultFileMode(), 0644u);
  afterUmaskChange = nullptr;
  for (const mode_t mode : meanwhile) EXPECT_EQ(mode, 0644u) << "created while the umask was changed";

  ::umask(077);
  EXPECT_EQ(DefaultFileMode(), 0600u);
  ::umask(saved);
}

TEST(CreateFileAtomically, WritesANewFileAndNeverReplacesOne) {
  TempDir dir;
  CreateFileAtomically(dir / "new.wrp", 0600, [](std::ostream& out) { out << "first"; });
  EXPECT_EQ(test::ReadFile(dir / "new.wrp"), "first");
  try {
    CreateFileAtomically(dir / "new.wrp", 0600, [](std::ostream& out) { out << "second"; });
    ADD_FAILURE() << "an existing file was replaced";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.ErrorCode(), EEXIST);
  }
  EXPECT_EQ(test::ReadFile(dir / "new.wrp"), "first");
  // No temporary file is left beside it.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace vdk
