#pragma once

#include <cstddef>
#include <iosfwd>
#include <span>

namespace vdk {

// Base of the records stored in fixed-size binary form. A record is written
// as its whole stored form in one write, and read with one read of that size
// that tolerates a short stream: the bytes that are missing read as zero.
class TStreamPersistent {
 public:
  virtual ~TStreamPersistent() = default;

  void SaveToStream(std::ostream& out) const;
  // Returns how many bytes of the record the stream held: the record size
  // when it was complete, 0 at the end of the stream.
  std::size_t LoadFromStream(std::istream& in);

 protected:
  virtual std::size_t RecordSize() const = 0;
  // Fills the zeroed stored form from the working fields.
  virtual void StoreFields(std::span<char> record) const = 0;
  // Sets the working fields from the stored form.
  virtual void LoadFields(std::span<const char> record) = 0;
};

}  // namespace vdk
