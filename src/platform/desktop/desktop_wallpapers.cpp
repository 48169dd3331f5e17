#include "platform/desktop/desktop_wallpapers.h"

#include <QUrl>

namespace vdk {
namespace {

QString PictureUri(const std::string& picture) {
  return QUrl::fromLocalFile(QString::fromStdString(picture)).toString(QUrl::FullyEncoded);
}

[[noreturn]] void Refused(const QString& what, const TCallResult& result) {
  const QString reason = result.Error.trimmed().isEmpty() ? QString() : QStringLiteral(": ") + result.Error.trimmed();
  throw EWallpaperError(
      (QStringLiteral("The desktop did not take the wallpaper (%1)").arg(what) + reason).toStdString());
}

class TGnomeWallpaper : public TWallpaper {
 public:
  explicit TGnomeWallpaper(std::shared_ptr<TSessionCalls> calls) : calls_(std::move(calls)) {}

  void Set(const std::string& picture, TWallpaperStyle style) override {
    const QString uri = Quoted(PictureUri(picture));
    Change(QStringLiteral("picture-uri"), uri, true);
    Change(QStringLiteral("picture-uri-dark"), uri, false);  // GNOME before 42 has no dark picture
    Change(QStringLiteral("picture-options"), Quoted(Options(style)), true);
  }

 private:
  static QString Options(TWallpaperStyle style) {
    switch (style) {
      case TWallpaperStyle::Center:
        return QStringLiteral("centered");
      case TWallpaperStyle::Tile:
        return QStringLiteral("wallpaper");
      case TWallpaperStyle::Stretch:
        return QStringLiteral("stretched");
      case TWallpaperStyle::Max:
        return QStringLiteral("scaled");
    }
    return QStringLiteral("centered");
  }

  // A GVariant string literal.
  static QString Quoted(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
  }

  void Change(const QString& key, const QString& value, bool required) {
    const TCallResult result =
        calls_->Run(QStringLiteral("gsettings"),
                    {QStringLiteral("set"), QStringLiteral("org.gnome.desktop.background"), key, value});
    if (!result.Ok && required) Refused(QStringLiteral("gsettings ") + key, result);
  }

  std::shared_ptr<TSessionCalls> calls_;
};

class TPlasmaWallpaper : public TWallpaper {
 public:
  explicit TPlasmaWallpaper(std::shared_ptr<TSessionCalls> calls) : calls_(std::move(calls)) {}

  void Set(const std::string& picture, TWallpaperStyle style) override {
    // The URI is percent-encoded, so it holds no quote that could end the string.
    const QString script = QStringLiteral(
                               "var all = desktops();\n"
                               "for (var i = 0; i < all.length; i++) {\n"
                               "  var d = all[i];\n"
                               "  d.wallpaperPlugin = \"org.kde.image\";\n"
                               "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
                               "  d.writeConfig(\"Image\", \"%1\");\n"
                               "  d.writeConfig(\"FillMode\", %2);\n"
                               "}\n")
                               .arg(PictureUri(picture))
                               .arg(FillMode(style));
    const TCallResult result =
        calls_->CallSessionBus(QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                               QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"), script);
    if (!result.Ok) Refused(QStringLiteral("Plasma shell"), result);
  }

 private:
  // The image plugin's fill modes: 0 scaled, 1 keep proportions, 3 tiled, 6 centred.
  static int FillMode(TWallpaperStyle style) {
    switch (style) {
      case TWallpaperStyle::Center:
        return 6;
      case TWallpaperStyle::Tile:
        return 3;
      case TWallpaperStyle::Stretch:
        return 0;
      case TWallpaperStyle::Max:
        return 1;
    }
    return 6;
  }

  std::shared_ptr<TSessionCalls> calls_;
};

class TXfceWallpaper : public TWallpaper {
 public:
  explicit TXfceWallpaper(std::shared_ptr<TSessionCalls> calls) : calls_(std::move(calls)) {}

  void Set(const std::string& picture, TWallpaperStyle style) override {
    const TCallResult listed = Query({QStringLiteral("-l")});
    if (!listed.Ok) Refused(QStringLiteral("xfconf-query"), listed);
    // Every backdrop (one per monitor and workspace) has a "last-image".
    QStringList backdrops;
    for (const QString& line : listed.Output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
      const QString property = line.trimmed();
      if (property.startsWith(QStringLiteral("/backdrop/")) && property.endsWith(QStringLiteral("/last-image")))
        backdrops << property.chopped(int(QStringLiteral("last-image").size()));
    }
    if (backdrops.isEmpty()) Refused(QStringLiteral("xfconf-query: no backdrop found"), listed);
    for (const QString& backdrop : backdrops) {
      Change(backdrop + QStringLiteral("last-image"), QStringLiteral("string"), QString::fromStdString(picture));
      Change(backdrop + QStringLiteral("image-style"), QStringLiteral("int"), QString::number(ImageStyle(style)));
    }
  }

 private:
  // xfdesktop's image styles: 1 centred, 2 tiled, 3 stretched, 4 scaled.
  static int ImageStyle(TWallpaperStyle style) { return static_cast<int>(style) + 1; }

  TCallResult Query(QStringList arguments) {
    return calls_->Run(QStringLiteral("xfconf-query"),
                       QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} + arguments);
  }

  void Change(const QString& property, const QString& type, const QString& value) {
    const TCallResult result = Query({QStringLiteral("-p"), property, QStringLiteral("-n"), QStringLiteral("-t"), type,
                                      QStringLiteral("-s"), value});
    if (!result.Ok) Refused(QStringLiteral("xfconf-query ") + property, result);
  }

  std::shared_ptr<TSessionCalls> calls_;
};

class TUnsupportedWallpaper : public TWallpaper {
 public:
  explicit TUnsupportedWallpaper(QString desktop) : desktop_(std::move(desktop)) {}

  void Set(const std::string&, TWallpaperStyle) override {
    const QString name = desktop_.isEmpty() ? QStringLiteral("an unknown desktop") : desktop_;
    throw EWallpaperError(QStringLiteral("Vendrake cannot set the wallpaper on this desktop (%1). "
                                         "It knows GNOME, KDE Plasma and Xfce.")
                              .arg(name)
                              .toStdString());
  }

 private:
  QString desktop_;
};

}  // namespace

TDesktopKind DesktopFromName(const QString& xdgCurrentDesktop) {
  for (const QString& name : xdgCurrentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
    const QString upper = name.trimmed().toUpper();
    if (upper == QLatin1String("GNOME") || upper == QLatin1String("UNITY") || upper == QLatin1String("BUDGIE"))
      return TDesktopKind::Gnome;
    if (upper == QLatin1String("KDE")) return TDesktopKind::Plasma;
    if (upper == QLatin1String("XFCE")) return TDesktopKind::Xfce;
  }
  return TDesktopKind::Unknown;
}

std::unique_ptr<TWallpaper> MakeDesktopWallpaper(TDesktopKind kind, std::shared_ptr<TSessionCalls> calls,
                                                 const QString& desktopName) {
  switch (kind) {
    case TDesktopKind::Gnome:
      return std::make_unique<TGnomeWallpaper>(std::move(calls));
    case TDesktopKind::Plasma:
      return std::make_unique<TPlasmaWallpaper>(std::move(calls));
    case TDesktopKind::Xfce:
      return std::make_unique<TXfceWallpaper>(std::move(calls));
    case TDesktopKind::Unknown:
      break;
  }
  return std::make_unique<TUnsupportedWallpaper>(desktopName);
}

}  // namespace vdk
