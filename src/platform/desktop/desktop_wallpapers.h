#pragma once

#include <QString>
#include <memory>

#include "platform/desktop/session_calls.h"
#include "platform/desktop/wallpaper.h"

namespace vdk {

// The desktops whose wallpaper Vendrake knows how to set.
enum class TDesktopKind { Gnome, Plasma, Xfce, Unknown };

// The desktop named by XDG_CURRENT_DESKTOP (a colon-separated list such as
// "ubuntu:GNOME"): GNOME and the desktops that share its settings (Unity,
// Budgie), KDE Plasma, or Xfce.
TDesktopKind DesktopFromName(const QString& xdgCurrentDesktop);

// The wallpaper service of a desktop, reaching the session through calls:
// GNOME through gsettings (picture-uri, picture-uri-dark, picture-options),
// Plasma through its shell's evaluateScript on the session bus, Xfce through
// xfconf-query on every monitor and workspace it knows. For Unknown, Set
// raises EWallpaperError saying that the desktop (desktopName) is not
// supported.
std::unique_ptr<TWallpaper> MakeDesktopWallpaper(TDesktopKind kind, std::shared_ptr<TSessionCalls> calls,
                                                 const QString& desktopName);

}  // namespace vdk
