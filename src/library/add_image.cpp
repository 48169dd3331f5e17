#include "library/add_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "core/base/errors.h"
#include "core/base/ole_date.h"
#include "library/image_library.h"
#include "library/picture_size.h"

namespace vdk {
namespace {

// The length of a regular file. O_NONBLOCK keeps a FIFO from blocking the open.
std::uint64_t FileLength(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw EFileError("Cannot open", path, errno);
  struct stat st;
  const int err = ::fstat(fd, &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EINVAL);
  ::close(fd);
  if (err != 0) throw EFileError("Cannot measure", path, err);
  return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace

void AddImageToLibrary(TImageLibrary& library, const std::string& path, std::stop_token stop) {
  if (library.FindByName(path)) return;
  auto detail = std::make_shared<TImageDetail>();
  detail->AddedTime = Now();
  detail->FileName = path;
  detail->FileSize = StoredFileSize(FileLength(path));
  const TPictureSize size = MeasurePicture(path, DecoderFor(path), stop);
  if (stop.stop_requested()) return;
  detail->Width = size.Width;
  detail->Height = size.Height;
  library.AddIfAbsent(std::move(detail));
}

}  // namespace vdk
