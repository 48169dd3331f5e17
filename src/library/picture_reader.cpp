#include "library/picture_reader.h"

#include <QImageReader>
#include <QMovie>
#include <QtPlugin>

#include <algorithm>
#include <array>

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "library/watched_file.h"

Q_IMPORT_PLUGIN(TPcxPlugin)
Q_IMPORT_PLUGIN(TTgaPlugin)

namespace vdk {
namespace {

// Formats decoded from downloaded files, in the order content is tried: Qt's
// own readers, those of Debian's qt6-image-formats-plugins and our PCX and
// TGA plugins ("targa": Qt's "tga" reader refuses files without the
// version 2.0 footer). Readers that other plugins add at run time (such as
// one that renders EPS through a PostScript interpreter) are never asked.
constexpr std::array<std::string_view, 14> kTrustedFormats = {
    "jpeg", "png", "gif", "bmp", "webp", "tiff", "pcx", "dcx", "ico", "cur", "targa", "ppm", "pgm", "pbm",
};

// Used when the image reader's allocation limit is switched off.
constexpr qint64 kFallbackLimitMB = 128;

// Pictures are decoded to four bytes a pixel; the allocation limit bounds the
// declared size before any pixel memory is taken.
bool WithinLimit(const QSize& declared) {
  const qint64 limitMB = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit() : kFallbackLimitMB;
  return qint64(declared.width()) * declared.height() * 4 <= limitMB * 1024 * 1024;
}

// Most readers fail on a file that ends early. The JPEG and GIF readers
// instead return what they decoded after asking for bytes beyond the end, and
// the BMP reader reads its rows with exact sizes and returns the picture
// after the first short one.
bool CutShort(const TWatchedFile& file, const QByteArray& format) {
  return file.ReadPastEnd() || (format == "bmp" && file.ShortRead());
}

// The trusted format the file's extension names, or empty.
QByteArray FormatNamedBy(std::string_view path) {
  std::string ext = LowerCase(ExtractFileExt(path));
  if (ext.empty()) return {};
  ext.erase(0, 1);
  if (ext == "jpg") ext = "jpeg";
  if (ext == "tif") ext = "tiff";
  if (ext == "tga") ext = "targa";
  const bool trusted = std::find(kTrustedFormats.begin(), kTrustedFormats.end(), ext) != kTrustedFormats.end();
  return trusted ? QByteArray::fromStdString(ext) : QByteArray();
}

bool Accepts(TWatchedFile& file, const QByteArray& format) {
  QImageReader probe(&file, format);
  probe.setAutoDetectImageFormat(false);
  const bool accepted = probe.canRead();
  file.seek(0);
  return accepted;
}

// The general loader takes the format the extension names when its reader
// accepts the content, as Qt does for named files (some formats cannot be
// told apart by content alone: a TGA header reads as a cursor's), otherwise
// the first trusted format whose reader does.
QByteArray GeneralFormat(TWatchedFile& file, std::string_view path) {
  const QByteArray named = FormatNamedBy(path);
  if (!named.isEmpty() && Accepts(file, named)) return named;
  for (const std::string_view format : kTrustedFormats) {
    const QByteArray candidate(format.data(), static_cast<qsizetype>(format.size()));
    if (Accepts(file, candidate)) return candidate;
  }
  return {};
}

// A movie over the guarded device, once the file's first picture is known
// to fit the allocation limit.
std::unique_ptr<QMovie> OpenMovie(const std::string& path, TPictureDecoder decoder) {
  auto file = std::make_unique<TWatchedFile>(path, std::stop_token());
  if (!file->Open()) return nullptr;
  const QByteArray format = decoder == TPictureDecoder::Gif ? QByteArray("gif") : GeneralFormat(*file, path);
  if (format.isEmpty() || !file->seek(0)) return nullptr;
  {
    QImageReader probe(file.get(), format);
    probe.setAutoDetectImageFormat(false);
    const QSize declared = probe.size();
    if (!probe.canRead() || !declared.isValid() || !WithinLimit(declared)) return nullptr;
  }
  if (!file->seek(0)) return nullptr;
  auto movie = std::make_unique<QMovie>(file.get(), format);
  file.release()->setParent(movie.get());
  if (!movie->isValid()) return nullptr;
  return movie;
}

}  // namespace

TDecodedPicture ReadPicture(const std::string& path, TPictureDecoder decoder, const TReadOptions& options) {
  TWatchedFile file(path, options.Stop);
  if (!file.Open()) return {};
  const QByteArray format = decoder == TPictureDecoder::Gif ? QByteArray("gif") : GeneralFormat(file, path);
  if (format.isEmpty() || !file.seek(0)) return {};

  QImageReader reader(&file, format);
  reader.setAutoDetectImageFormat(false);
  const QSize declared = reader.size();
  if (declared.isValid() && !WithinLimit(declared)) return {};
  const bool shrink = options.Bounding.isValid() && declared.isValid() &&
                      (declared.width() > options.Bounding.width() || declared.height() > options.Bounding.height());
  if (shrink) reader.setScaledSize(declared.scaled(options.Bounding, Qt::KeepAspectRatio).expandedTo({1, 1}));
  file.ResetWatch();
  QImage image = reader.read();
  if (image.isNull() || (!options.AcceptCutShort && CutShort(file, format))) return {};
  const bool tooLarge = options.Bounding.isValid() &&
                        (image.width() > options.Bounding.width() || image.height() > options.Bounding.height());
  const QSize original = declared.isValid() && shrink ? declared : image.size();
  if (tooLarge) image = image.scaled(options.Bounding, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return {image, original};
}

std::unique_ptr<QMovie> OpenGifAnimation(const std::string& path) { return OpenMovie(path, TPictureDecoder::Gif); }

std::unique_ptr<QMovie> OpenAllPictures(const std::string& path) { return OpenMovie(path, TPictureDecoder::General); }

int CountPictures(const std::string& path) {
  TWatchedFile file(path, std::stop_token());
  if (!file.Open()) return 0;
  const QByteArray format = GeneralFormat(file, path);
  if (format.isEmpty() || !file.seek(0)) return 0;
  QImageReader reader(&file, format);
  reader.setAutoDetectImageFormat(false);
  if (!reader.canRead()) return 0;
  return std::max(1, reader.imageCount());
}

}  // namespace vdk
