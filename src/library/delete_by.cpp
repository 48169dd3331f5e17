#include "library/delete_by.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "library/image_library.h"

namespace vdk {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::int64_t Number(std::string_view text) { return ParseInt32(Trim(text)).value_or(0); }

bool PicksRow(const TDeleteByChoice& choice, const TSavedFile& row, const TImageLibrary& library) {
  switch (choice.Criterion) {
    case TDeleteByCriterion::ImageSize: {
      const TImageDetailPtr record = library.FindByName(row.Path);
      return record && record->Width < choice.Width && record->Height < choice.Height;
    }
    case TDeleteByCriterion::SmallThan:
      return KilobytesOf(row.SizeText) <= Number(choice.SmallThan);
    case TDeleteByCriterion::Range: {
      const std::int64_t kilobytes = KilobytesOf(row.SizeText);
      return Number(choice.SmallRange) <= kilobytes && kilobytes <= Number(choice.BigRange);
    }
    case TDeleteByCriterion::FileFilter:
      break;
  }
  return false;
}

std::vector<std::string> MatchingFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> files;
  if (folder.empty() || !IsBareNamePattern(pattern)) return files;
  const std::string prefix = AddSlash(folder);
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(prefix.c_str()), ::closedir);
  if (!dir) return files;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == ".." || name.find("!!wr") != std::string_view::npos) continue;
    if (!MatchesWildcard(name, pattern)) continue;
    std::string path = prefix + std::string(name);
    if (IsRegularFile(path)) files.push_back(std::move(path));
  }
  return files;
}

}  // namespace

bool IsBareNamePattern(std::string_view pattern) {
  return pattern.find_first_of("/\\:") == std::string_view::npos && pattern.find("..") == std::string_view::npos;
}

std::vector<std::string> DeleteByCandidates(const TDeleteByChoice& choice, const std::vector<TSavedFile>& rows,
                                            const TImageLibrary& library, const std::string& savedFolder) {
  if (choice.Criterion == TDeleteByCriterion::FileFilter) return MatchingFiles(savedFolder, choice.Filter);
  std::vector<std::string> files;
  for (const TSavedFile& row : rows)
    if (PicksRow(choice, row, library) && IsRegularFile(row.Path)) files.push_back(row.Path);
  return files;
}

}  // namespace vdk
