#include "library/image_detail.h"

#include <algorithm>
#include <limits>

#include "core/base/errors.h"
#include "core/base/fixed_fields.h"

namespace vdk {
namespace {

enum : std::size_t {
  kFileName = 0,
  kAddedTime = 256,
  kFileSize = 264,
  kHeight = 268,
  kWidth = 272,
};
constexpr std::size_t kNameField = 256;
constexpr std::uint64_t kBlock = 128;

}  // namespace

void TImageDetail::StoreFields(std::span<char> record) const {
  if (!FitsRecord()) throw EFormatError("The path is too long for the image library: " + FileName);
  PutText(record, kFileName, kNameField, FileName);
  PutDouble(record, kAddedTime, AddedTime);
  PutInt32(record, kFileSize, FileSize);
  PutInt32(record, kHeight, Height);
  PutInt32(record, kWidth, Width);
}

void TImageDetail::LoadFields(std::span<const char> record) {
  FileName = GetText(record, kFileName, kNameField);
  AddedTime = GetDouble(record, kAddedTime);
  FileSize = GetInt32(record, kFileSize);
  Height = GetInt32(record, kHeight);
  Width = GetInt32(record, kWidth);
}

std::int32_t StoredFileSize(std::uint64_t bytes) {
  const std::uint64_t largest = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::min(bytes, largest) / kBlock * kBlock);
}

}  // namespace vdk
