#include "library/image_library_header.h"

#include "core/base/fixed_fields.h"

namespace vdk {
namespace {

enum : std::size_t {
  kSignatureField = 0,
  kVersionField = 256,
  kCountField = 260,
};
constexpr std::size_t kSignatureWidth = 256;

}  // namespace

void TImageLibraryHeader::StoreFields(std::span<char> record) const {
  PutText(record, kSignatureField, kSignatureWidth, Signature);
  PutInt32(record, kVersionField, Version);
  PutInt32(record, kCountField, Count);
}

void TImageLibraryHeader::LoadFields(std::span<const char> record) {
  Signature = GetText(record, kSignatureField, kSignatureWidth);
  Version = GetInt32(record, kVersionField);
  Count = GetInt32(record, kCountField);
}

}  // namespace vdk
