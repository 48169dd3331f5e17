#pragma once

#include <memory>
#include <string>

#include "core/base/errors.h"

namespace vdk {

// How the desktop lays the picture out, as the wallpaper dialog offers it.
enum class TWallpaperStyle { Center, Tile, Stretch, Max };

// The desktop refused the picture, or Vendrake does not know how to set a
// wallpaper on this desktop; the message is meant for the user.
class EWallpaperError : public EVendrakeError {
 public:
  using EVendrakeError::EVendrakeError;
};

// The desktop's wallpaper. The real implementations change the user's
// desktop, so tests put a recording fake in their place (SetWallpaperService)
// and never construct them. GUI thread only.
class TWallpaper {
 public:
  virtual ~TWallpaper() = default;
  // Makes the picture file (a file Vendrake owns, which must stay where it
  // is) the wallpaper. Raises EWallpaperError.
  virtual void Set(const std::string& picture, TWallpaperStyle style) = 0;
};

// The service in use: the current desktop's, unless a test replaced it.
TWallpaper& Wallpaper();
// Puts a service in place of the current one (null: the desktop's) and
// returns the one it replaced.
std::unique_ptr<TWallpaper> SetWallpaperService(std::unique_ptr<TWallpaper> wallpaper);

}  // namespace vdk
