#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "library/file_transfer.h"
#include "platform/desktop/wallpaper.h"

class QWidget;

namespace vdk {

// The modal windows the downloaded-files panel opens. Tests put a scripted
// stand-in in their place, so no modal loop ever runs in a test.
class TImagesDialogs {
 public:
  virtual ~TImagesDialogs() = default;
  // The folder picker; empty when cancelled.
  virtual QString PickFolder(QWidget* parent, const QString& title) = 0;
  // The overwrite confirmation for source landing on the existing target.
  virtual TOverwriteAnswer AskOverwrite(QWidget* parent, const QString& source, const QString& target) = 0;
  // The wallpaper dialog; no value unless it ended with OK.
  virtual std::optional<TWallpaperStyle> AskWallpaperStyle(QWidget* parent) = 0;
  // The full-screen viewer on files[index], paging through files.
  virtual void View(QWidget* parent, const QStringList& files, int index) = 0;
};

// The program's own windows, each shown modally.
std::unique_ptr<TImagesDialogs> MakeModalImagesDialogs();

}  // namespace vdk
