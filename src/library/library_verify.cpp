#include "library/library_verify.h"

#include <sys/stat.h>

namespace vdk {

bool CataloguedFileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<int> FindInvalidRecords(const std::vector<TImageDetailPtr>& listed, std::stop_token stop,
                                    const TItemProgress& progress) {
  std::vector<int> positions;
  for (std::size_t i = 0; i < listed.size() && !stop.stop_requested(); ++i) {
    if (!CataloguedFileExists(listed[i]->FileName)) positions.push_back(static_cast<int>(i));
    if (progress) progress(static_cast<int>(i) + 1);
  }
  return positions;
}

}  // namespace vdk
