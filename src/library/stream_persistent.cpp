#include "library/stream_persistent.h"

#include <istream>
#include <ostream>
#include <vector>

namespace vdk {

void TStreamPersistent::SaveToStream(std::ostream& out) const {
  std::vector<char> record(RecordSize(), '\0');
  StoreFields(record);
  out.write(record.data(), static_cast<std::streamsize>(record.size()));
}

std::size_t TStreamPersistent::LoadFromStream(std::istream& in) {
  std::vector<char> record(RecordSize(), '\0');
  in.read(record.data(), static_cast<std::streamsize>(record.size()));
  const auto got = static_cast<std::size_t>(in.gcount());
  LoadFields(record);
  return got;
}

}  // namespace vdk
