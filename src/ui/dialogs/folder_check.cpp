#include "ui/dialogs/folder_check.h"

#include <filesystem>
#include <system_error>

#include "core/base/path_utils.h"
#include "core/model/task_input.h"
#include "ui/common/message_boxes.h"

namespace vdk {

bool EnsureFolder(QWidget* parent, const QString& folder) {
  const std::string path = folder.toStdString();
  if (path.empty()) {
    ShowError(parent, QStringLiteral("Sorry, the folder is empty, please choose a folder and try again!"));
    return false;
  }
  if (!FitsTextField(AddSlash(path))) {
    ShowError(parent, QStringLiteral("Sorry, the folder is too long, please choose a folder of at most %1 bytes and "
                                     "try again!")
                          .arg(kMaxFieldText));
    return false;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return true;
  std::filesystem::create_directories(path, ec);
  if (!ec && std::filesystem::is_directory(path, ec)) return true;
  ShowError(parent, QStringLiteral("Sorry, the folder \"%1\" cannot be created (%2), please choose another folder "
                                   "and try again!")
                        .arg(folder, QString::fromStdString(ec ? ec.message() : std::string("not a folder"))));
  return false;
}

}  // namespace vdk
