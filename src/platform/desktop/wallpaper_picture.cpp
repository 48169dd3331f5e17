#include "platform/desktop/wallpaper_picture.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>

#include "core/base/path_utils.h"
#include "library/picture_reader.h"
#include "platform/vendrake_folders.h"

namespace vdk {
namespace {

constexpr int kJpegQuality = 95;
const QString kPrefix = QStringLiteral("wallpaper-");

QString NewName(const QImage& image) {
  const char* ext = image.hasAlphaChannel() ? ".png" : ".jpg";
  return kPrefix + QString::number(QDateTime::currentMSecsSinceEpoch()) + QLatin1String(ext);
}

void Write(const QImage& image, const QString& path) {
  QSaveFile file(path);
  const bool png = path.endsWith(QLatin1String(".png"));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, png ? "png" : "jpeg", png ? -1 : kJpegQuality) ||
      !file.commit())
    throw EWallpaperError("The wallpaper file " + path.toStdString() + " cannot be written.");
}

void RemoveOthers(QDir folder, const QString& keep) {
  for (const QString& name : folder.entryList({kPrefix + QLatin1Char('*')}, QDir::Files))
    if (name != keep) folder.remove(name);
}

}  // namespace

std::string WallpaperFolder() { return VendrakeHome() + "Wallpaper/"; }

std::string SetWallpaperFromFile(TWallpaper& wallpaper, const std::string& source, TWallpaperStyle style,
                                 const std::string& folder) {
  const QImage image = ReadPicture(source, DecoderFor(source)).Image;
  if (image.isNull())
    throw EWallpaperError("The picture " + std::string(ExtractFileName(source)) +
                          " cannot be read; the wallpaper is unchanged.");
  QDir dir(QString::fromStdString(folder));
  if (!dir.mkpath(QStringLiteral(".")))
    throw EWallpaperError("The folder " + folder + " cannot be created; the wallpaper is unchanged.");
  const QString name = NewName(image);
  const QString path = dir.filePath(name);
  Write(image, path);
  try {
    wallpaper.Set(path.toStdString(), style);
  } catch (...) {
    dir.remove(name);
    throw;
  }
  RemoveOthers(dir, name);
  return path.toStdString();
}

}  // namespace vdk
