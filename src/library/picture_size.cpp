#include "library/picture_size.h"

#include <QImage>
#include <QImageReader>
#include <QtPlugin>

#include <algorithm>
#include <array>

#include "core/path_utils.h"
#include "core/text_utils.h"
#include "library/watched_file.h"

Q_IMPORT_PLUGIN(TPcxPlugin)

namespace vdk {
namespace {

// Formats decoded from downloaded files: Qt's own readers, those of Debian's
// qt6-image-formats-plugins and our PCX plugin. A format another plugin adds
// at run time (such as one that renders EPS through a PostScript interpreter)
// is refused.
constexpr std::array<std::string_view, 16> kTrustedFormats = {
    "bmp", "cur", "dcx", "gif", "ico", "jpeg", "jpg", "pbm", "pcx", "pgm", "png", "ppm", "tga", "tif", "tiff", "webp",
};

// Used when the image reader's allocation limit is switched off.
constexpr qint64 kFallbackLimitMB = 128;

bool IsTrusted(const QByteArray& format) {
  const std::string_view name(format.constData(), static_cast<std::size_t>(format.size()));
  return std::find(kTrustedFormats.begin(), kTrustedFormats.end(), name) != kTrustedFormats.end();
}

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

// The general loader tries the format the file's extension names first, as
// Qt does for named files, and otherwise recognises the content: some formats
// cannot be told apart by content alone (a TGA header reads as a cursor's).
QByteArray GeneralFormat(TWatchedFile& file, std::string_view path) {
  const std::string_view ext = ExtractFileExt(path);
  const QByteArray named = QByteArray::fromStdString(LowerCase(ext.empty() ? ext : ext.substr(1)));
  if (IsTrusted(named)) {
    QImageReader probe(&file, named);
    probe.setAutoDetectImageFormat(false);
    const bool readable = probe.canRead();
    file.seek(0);
    if (readable) return named;
  }
  return QImageReader::imageFormat(&file);
}

}  // namespace

TPictureDecoder DecoderFor(std::string_view path) {
  return LowerCase(ExtractFileExt(path)) == ".gif" ? TPictureDecoder::Gif : TPictureDecoder::General;
}

TPictureSize MeasurePicture(const std::string& path, TPictureDecoder decoder, std::stop_token stop) {
  TWatchedFile file(path, std::move(stop));
  if (!file.Open()) return {};
  const QByteArray format = decoder == TPictureDecoder::Gif ? QByteArray("gif") : GeneralFormat(file, path);
  if (!IsTrusted(format) || !file.seek(0)) return {};

  QImageReader reader(&file, format);
  reader.setAutoDetectImageFormat(false);
  const QSize declared = reader.size();
  if (declared.isValid() && !WithinLimit(declared)) return {};
  file.ResetWatch();
  const QImage image = reader.read();
  if (image.isNull() || CutShort(file, format)) return {};
  return {image.width(), image.height()};
}

}  // namespace vdk
