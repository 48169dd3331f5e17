#include "library/file_transfer.h"

#include <sys/stat.h>

#include "core/base/path_utils.h"

namespace vdk {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

TFileTransfer::TFileTransfer(TTransferKind kind, std::string destFolder, TOverwriteAsker ask)
    : kind_(kind), destFolder_(AddSlash(destFolder)), ask_(std::move(ask)) {}

TTransferResult TFileTransfer::Transfer(const std::string& source, std::stop_token stop) {
  std::string target = destFolder_ + std::string(ExtractFileName(source));
  TReplace replace = TReplace::Never;
  if (Exists(target)) {
    if (SameFile(source, target)) return {TTransferStatus::SameFile, target, 0};
    if (prompt_) {
      const TOverwriteAnswer answer = ask_(source, target);
      prompt_ = !answer.NoPrompt;
      choice_ = answer.Choice;
    }
    if (choice_ == TOverwriteChoice::Skip) return {TTransferStatus::Skipped, target, 0};
    if (choice_ == TOverwriteChoice::Rename)
      target = UniqueFileName(target);
    else
      replace = TReplace::Allowed;
  }
  return kind_ == TTransferKind::Copy ? CopyFileTo(source, target, replace, std::move(stop))
                                      : MoveFileTo(source, target, replace, std::move(stop));
}

}  // namespace vdk
