#pragma once

#include <string>

#include "platform/desktop/wallpaper.h"

namespace vdk {

// The folder of Vendrake's own wallpaper files: "Wallpaper/" in the
// Vendrake home.
std::string WallpaperFolder();

// Makes a downloaded picture the wallpaper without handing the desktop the
// download itself: the file is decoded with the guarded readers (the first
// frame of an animation), written as a new file of Vendrake's own in folder
// (PNG when it has transparency, else JPEG), and that file goes to the
// desktop; a new name each time makes the desktop notice the change. Once
// the desktop took it, the earlier wallpaper files of the folder go; when it
// refused, the new file goes and the wallpaper is unchanged. Raises
// EWallpaperError (a file that does not decode, a folder that cannot be
// written, the desktop's refusal). Returns the file handed over.
std::string SetWallpaperFromFile(TWallpaper& wallpaper, const std::string& source, TWallpaperStyle style,
                                 const std::string& folder);

}  // namespace vdk
