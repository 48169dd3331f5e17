#pragma once

#include <QIcon>
#include <QString>

namespace vdk {

// The glyph of that name: the desktop theme's icon, or the picture bundled
// with Vendrake under the same name (":/pictures/<name>.svg") when the theme
// has none. An empty name gives an empty icon.
QIcon ThemeIcon(const QString& name);
// A picture bundled with Vendrake (splash, About, tip bulb, tray prompt).
QIcon Picture(const QString& name);
// Path of a bundled picture, for widgets that load files.
QString PicturePath(const QString& name);

}  // namespace vdk
