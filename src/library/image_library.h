#pragma once

#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/image_detail.h"
#include "library/image_library_header.h"

namespace vdk {

// The image catalogue: the records of "imglib.db" in list order, with the
// file's header.
//
// Threads: shared by the main thread, the add-image workers and the
// background readers of the library window and the tools. One lock guards the
// list, its index and the header, held for one operation at a time (a save
// takes it once, to copy the list). Records are immutable once added, so a
// record fetched from the library stays valid after it was removed.
//
// Cost: a hash index of the paths makes FindByName O(1); Remove is O(n), and
// RemoveRecords is O(n) for any number of records.
class TImageLibrary {
 public:
  TImageLibrary() = default;
  TImageLibrary(const TImageLibrary&) = delete;
  TImageLibrary& operator=(const TImageLibrary&) = delete;

  int Count() const;
  // Raises std::out_of_range for an index outside 0..Count()-1.
  TImageDetailPtr Items(int index) const;
  // The first record whose FileName equals the path byte for byte, or null.
  TImageDetailPtr FindByName(std::string_view path) const;

  // Appends a record (not null), also when its path is already catalogued.
  void Add(TImageDetailPtr detail);
  // Appends a record unless one with the same path is there; the test and
  // the append are one step, so concurrent adders never make two records.
  bool AddIfAbsent(TImageDetailPtr detail);
  // Takes the record out; returns the index it had, or -1.
  int Remove(const TImageDetailPtr& detail);
  // Takes these records out in one pass over the list (records not in the
  // library are passed over); returns how many went.
  int RemoveRecords(const std::vector<TImageDetailPtr>& details);
  void Clear();

  // A copy of the header as last loaded or saved.
  TImageLibraryHeader Header() const;

  // Raises EFileError when the file cannot be opened; false as
  // LoadFromStream.
  bool LoadFromFile(const std::string& path);
  // Reads the header; when its signature is right, appends the records that
  // follow, up to Count of them and no further than the data goes (a partial
  // last record is kept, its missing bytes zero). With a wrong signature
  // nothing is added, the header returns to its defaults and the result is
  // false: the data is not a library.
  bool LoadFromStream(std::istream& in);
  // Replaces the file through a temporary file in the same folder, so a
  // failed save leaves the old library; raises EFileError then.
  void SaveToFile(const std::string& path);
  // Writes the header and every record that fits the layout, in list order;
  // the header's Count is the number of records written. Records whose path
  // is too long for the name field stay in memory but are left out.
  void SaveToStream(std::ostream& out);

 private:
  void AppendLocked(TImageDetailPtr detail);
  void RebuildIndexLocked();

  mutable std::mutex lock_;
  std::vector<TImageDetailPtr> items_;
  // Path -> first record with that path; the keys view the records' names.
  std::unordered_map<std::string_view, TImageDetailPtr> firstByName_;
  TImageLibraryHeader header_;
};

}  // namespace vdk
