#pragma once

#include <cstdint>
#include <string>

#include "library/stream_persistent.h"

namespace vdk {

// The 264-byte header of the image library file: Signature (256-byte text
// field), Version and Count (int32 each).
class TImageLibraryHeader : public TStreamPersistent {
 public:
  static constexpr std::size_t kRecordSize = 264;
  static constexpr std::int32_t kVersion = 227;
  static constexpr const char* kSignature = "Vendrake Images Library File";

  std::int32_t Count = 0;           // records that follow the header
  std::int32_t Version = kVersion;  // not checked; written back as read
  std::string Signature = kSignature;

  bool HasSignature() const { return Signature == kSignature; }

 protected:
  std::size_t RecordSize() const override { return kRecordSize; }
  void StoreFields(std::span<char> record) const override;
  void LoadFields(std::span<const char> record) override;
};

}  // namespace vdk
