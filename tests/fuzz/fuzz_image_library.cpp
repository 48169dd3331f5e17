// Image library files from outside (copied, damaged, hand-edited): whatever
// the bytes, loading ends, and what loaded saves and reloads to the same
// records.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "library/image_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vdk::TImageLibrary library;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  library.LoadFromStream(in);
  // Every record made holds at least one byte of the input.
  const auto count = static_cast<std::size_t>(library.Count());
  if (count > 0 && vdk::TImageLibraryHeader::kRecordSize + (count - 1) * vdk::TImageDetail::kRecordSize >= size)
    __builtin_trap();

  std::ostringstream out;
  library.SaveToStream(out);
  vdk::TImageLibrary again;
  std::istringstream back(out.str());
  again.LoadFromStream(back);
  std::vector<std::string> written;
  for (int i = 0; i < library.Count(); ++i)
    if (library.Items(i)->FitsRecord()) written.push_back(library.Items(i)->FileName);
  if (again.Count() != static_cast<int>(written.size()) || again.Header().Count != again.Count()) __builtin_trap();
  for (int i = 0; i < again.Count(); ++i)
    if (again.Items(i)->FileName != written[static_cast<std::size_t>(i)]) __builtin_trap();
  return 0;
}
