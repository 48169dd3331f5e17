#pragma once

#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace vdk {

// The desktop's folder chooser behind the "&Browse" buttons. Reached through
// FolderPicker() so that tests answer it instead of a modal file dialog. Used
// on the GUI thread only.
class TFolderPicker {
 public:
  virtual ~TFolderPicker() = default;
  // Lets the user choose an existing folder, starting at start (empty: no
  // selection); the chosen path without a trailing "/", or none when the
  // user cancelled.
  virtual std::optional<QString> Pick(QWidget* parent, const QString& title, const QString& start) = 0;
};

TFolderPicker& FolderPicker();
// Puts a picker in place of the current one (null: the desktop's) and
// returns the one it replaced, so a test can restore it.
std::unique_ptr<TFolderPicker> SetFolderPicker(std::unique_ptr<TFolderPicker> picker);

// The chooser started at folder when it names an existing folder; a confirmed
// choice replaces folder and returns true. Cancelled: false, and folder is
// left as it was, or emptied when it named no existing folder.
bool PickFolder(QWidget* parent, const QString& title, QString& folder);

}  // namespace vdk
