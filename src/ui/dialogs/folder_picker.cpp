#include "ui/dialogs/folder_picker.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vdk {
namespace {

class TDesktopFolderPicker : public TFolderPicker {
 public:
  std::optional<QString> Pick(QWidget* parent, const QString& title, const QString& start) override {
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
  }
};

std::unique_ptr<TFolderPicker>& Current() {
  static std::unique_ptr<TFolderPicker> picker = std::make_unique<TDesktopFolderPicker>();
  return picker;
}

// "/a/b/" and "/a/b" name the same folder; the root stays "/".
QString WithoutTrailingSlash(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path;
}

}  // namespace

TFolderPicker& FolderPicker() { return *Current(); }

std::unique_ptr<TFolderPicker> SetFolderPicker(std::unique_ptr<TFolderPicker> picker) {
  std::unique_ptr<TFolderPicker> previous = std::move(Current());
  Current() = picker ? std::move(picker) : std::make_unique<TDesktopFolderPicker>();
  return previous;
}

bool PickFolder(QWidget* parent, const QString& title, QString& folder) {
  const bool exists = !folder.isEmpty() && QFileInfo(folder).isDir();
  const std::optional<QString> chosen = FolderPicker().Pick(parent, title, exists ? folder : QString());
  if (chosen) {
    folder = WithoutTrailingSlash(*chosen);
    return true;
  }
  if (!exists) folder.clear();
  return false;
}

}  // namespace vdk
