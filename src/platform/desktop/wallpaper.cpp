#include "platform/desktop/wallpaper.h"

#include <QString>
#include <QtGlobal>

#include "platform/desktop/desktop_wallpapers.h"

namespace vdk {
namespace {

std::unique_ptr<TWallpaper>& Current() {
  static std::unique_ptr<TWallpaper> current;
  return current;
}

}  // namespace

TWallpaper& Wallpaper() {
  std::unique_ptr<TWallpaper>& current = Current();
  if (!current) {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    current = MakeDesktopWallpaper(DesktopFromName(desktop), MakeSessionCalls(), desktop);
  }
  return *current;
}

std::unique_ptr<TWallpaper> SetWallpaperService(std::unique_ptr<TWallpaper> wallpaper) {
  std::unique_ptr<TWallpaper> previous = std::move(Current());
  Current() = std::move(wallpaper);
  return previous;
}

}  // namespace vdk
