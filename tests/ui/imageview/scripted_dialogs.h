#pragma once

#include <deque>
#include <vector>

#include "ui/imageview/images_dialogs.h"

namespace vdk::test {

// What the panel's modal windows were asked, and the answers they give.
struct DialogScript {
  QString folder;  // the folder picker's answer (empty: cancelled)
  std::deque<TOverwriteAnswer> overwrite;
  std::optional<TWallpaperStyle> wallpaper = TWallpaperStyle::Center;

  QStringList pickerTitles;
  std::vector<std::pair<QString, QString>> clashes;  // source, target
  int wallpaperAsked = 0;
  QStringList viewedFiles;
  int viewedIndex = -1;
  int viewerOpened = 0;
};

// Stands in for the panel's modal windows; the script outlives it.
std::unique_ptr<TImagesDialogs> ScriptedDialogs(DialogScript& script);

}  // namespace vdk::test
