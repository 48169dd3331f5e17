// Task files from outside (shared, hand-edited, damaged). The first input byte
// picks where the rest goes: the item text behind a valid header and options
// block, or over the start of that image.

#include <cstdint>
#include <sstream>
#include <string>

#include "core/base/errors.h"
#include "core/model/task.h"

namespace {

const std::string& ValidImage() {
  static const std::string image = [] {
    vdk::TTask task;
    task.URL.SetURI("http://h/");
    task.Options.FileMasks = {"gif, Saved", "jpg, Saved"};
    std::ostringstream out;
    task.SaveToStream(out);
    return out.str();
  }();
  return image;
}

void LoadAndRoundTrip(const std::string& bytes) {
  vdk::TTask task;
  std::istringstream in(bytes);
  try {
    task.LoadFromStream(in);
  } catch (const vdk::EFormatError&) {
    return;
  }
  std::ostringstream out;
  task.SaveToStream(out);
  vdk::TTask again;
  std::istringstream back(out.str());
  again.LoadFromStream(back);
  if (again.Items.Count() != task.Items.Count() || again.FinishedCount() != task.FinishedCount()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string image = ValidImage();
  if (data[0] & 1) {
    image.replace(0, std::min(rest.size(), image.size()), rest.substr(0, image.size()));
  } else {
    image += rest;
  }
  LoadAndRoundTrip(image);
  return 0;
}
