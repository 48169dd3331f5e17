#include "library/collect_list.h"

#include "library/image_library.h"

namespace vdk {

std::vector<TCollectRow> ListCollectRows(const std::string& savedFolder, const TImageLibrary& library,
                                         std::stop_token stop, const TItemProgress& progress) {
  std::vector<TCollectRow> rows;
  std::vector<TSavedFile> files = ListSavedFolder(savedFolder);
  rows.reserve(files.size());
  for (std::size_t i = 0; i < files.size() && !stop.stop_requested(); ++i) {
    TCollectRow& row = rows.emplace_back(TCollectRow{std::move(files[i]), std::nullopt});
    if (const TImageDetailPtr record = library.FindByName(row.File.Path))
      row.Dimensions = TPictureSize{record->Width, record->Height};
    if (progress) progress(static_cast<int>(i) + 1);
  }
  return rows;
}

}  // namespace vdk
