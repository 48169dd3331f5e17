#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/base/ole_date.h"
#include "library/stream_persistent.h"

namespace vdk {

// One catalogued file of the image library; its 280-byte stored form is
// FileName (256-byte text field), AddedTime (double), FileSize, Height and
// Width (int32 each) and four reserved zero bytes.
// Threads: a record is filled by one thread while it is made and never
// changed once it is in the library, so readers share it without a lock.
class TImageDetail : public TStreamPersistent {
 public:
  static constexpr std::size_t kRecordSize = 280;
  // The longest path the 256-byte name field holds with its NUL.
  static constexpr std::size_t kMaxFileName = 255;

  TDateTime AddedTime = 0;    // local time the record was made
  std::int32_t Height = 0;    // pixels; -1 when the file could not be decoded
  std::int32_t FileSize = 0;  // bytes in whole 128-byte blocks
  std::int32_t Width = 0;     // pixels; -1 when the file could not be decoded
  std::string FileName;       // full path; the record's key

  // False for a path too long for the name field: storing it cut short would
  // name another file, so such a record is refused when saving.
  bool FitsRecord() const { return FileName.size() <= kMaxFileName; }

 protected:
  std::size_t RecordSize() const override { return kRecordSize; }
  // Raises EFormatError for a record that does not fit.
  void StoreFields(std::span<char> record) const override;
  void LoadFields(std::span<const char> record) override;
};

// Records are shared: the library, the windows that list it and the tools
// that look sizes up may each hold one, also after it left the library.
using TImageDetailPtr = std::shared_ptr<const TImageDetail>;

// The FileSize of a file of the given length: whole 128-byte blocks, clamped
// to the largest such value an int32 holds (2147483520) for files of 2 GiB
// and more.
std::int32_t StoredFileSize(std::uint64_t bytes);

}  // namespace vdk
