#include "app/cli/library_command.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "app/cli/cli_context.h"
#include "app/cli/cli_error.h"
#include "core/base/errors.h"
#include "core/base/ole_date.h"
#include "library/add_image.h"
#include "library/image_library.h"
#include "library/library_file.h"
#include "library/library_merge.h"
#include "platform/file_lock.h"

namespace vdk::cli {
namespace {

void Load(const std::string& path, TImageLibrary& library) {
  try {
    const TFileLock lock(LibraryLockPath(path));
    const TLibraryFileLoad loaded = LoadLibraryFile(path, library);
    if (!loaded.KeptAs.empty()) WarnKeptAside("The image library", path, loaded.KeptAs);
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, path + ": " + e.what());
  }
}

std::vector<std::string> FilesOf(const std::vector<std::string>& paths) {
  std::vector<std::string> files;
  for (const auto& path : paths) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ec))
        if (entry.is_regular_file(ec)) files.push_back(std::filesystem::absolute(entry.path()).string());
    } else if (std::filesystem::exists(path, ec)) {
      files.push_back(std::filesystem::absolute(path).string());
    } else {
      throw ECliError(kExitFiles, "No such file or folder: " + path);
    }
  }
  return files;
}

}  // namespace

int LibraryListCommand() {
  const TCliContext context = LoadContext();
  TImageLibrary library;
  Load(context.LibraryFile(), library);
  for (int i = 0; i < library.Count(); ++i) {
    const auto detail = library.Items(i);
    const TDateTime added = detail->AddedTime;
    std::printf("%s %s  %10d B  %5d x %-5d  %s\n", FormatShortDate(added).c_str(), FormatLongTime(added).c_str(),
                detail->FileSize, detail->Width, detail->Height, detail->FileName.c_str());
  }
  std::printf("%d pictures in %s\n", library.Count(), context.LibraryFile().c_str());
  return kExitDone;
}

int LibraryVerifyCommand() {
  const TCliContext context = LoadContext();
  TImageLibrary library;
  Load(context.LibraryFile(), library);
  int problems = 0;
  for (int i = 0; i < library.Count(); ++i) {
    const auto detail = library.Items(i);
    struct stat st;
    if (::stat(detail->FileName.c_str(), &st) != 0) {
      std::printf("missing: %s\n", detail->FileName.c_str());
      ++problems;
    } else if (StoredFileSize(static_cast<std::uint64_t>(st.st_size)) != detail->FileSize) {
      std::printf("changed: %s (%d bytes recorded, %lld now)\n", detail->FileName.c_str(), detail->FileSize,
                  static_cast<long long>(st.st_size));
      ++problems;
    }
  }
  std::printf("%d pictures checked, %d problems\n", library.Count(), problems);
  return problems == 0 ? kExitDone : kExitMismatch;
}

int LibraryAddCommand(const std::vector<std::string>& paths) {
  const TCliContext context = LoadContext();
  const std::vector<std::string> files = FilesOf(paths);
  TImageLibrary additions;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::fprintf(stderr, "\r[%zu/%zu] %s", i + 1, files.size(), files[i].c_str());
    if (files[i].size() > TImageDetail::kMaxFileName) {
      std::fprintf(stderr, "\nskipped %s: the path is longer than the library's %zu bytes\n", files[i].c_str(),
                   TImageDetail::kMaxFileName);
      continue;
    }
    try {
      AddImageToLibrary(additions, files[i]);
    } catch (const EVendrakeError& e) {
      std::fprintf(stderr, "\nskipped %s: %s\n", files[i].c_str(), e.what());
    }
  }
  if (!files.empty()) std::fprintf(stderr, "\n");
  try {
    std::string keptAs;
    const int added = MergeIntoLibraryFile(context.LibraryFile(), additions, &keptAs);
    if (!keptAs.empty()) WarnKeptAside("The image library", context.LibraryFile(), keptAs);
    std::printf("%d pictures added to %s\n", added, context.LibraryFile().c_str());
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, context.LibraryFile() + ": " + e.what());
  }
  return kExitDone;
}

}  // namespace vdk::cli
