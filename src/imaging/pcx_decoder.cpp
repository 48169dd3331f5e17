#include "imaging/pcx_decoder.h"

#include <QIODevice>
#include <QImage>
#include <QImageIOHandler>

#include <algorithm>
#include <array>
#include <vector>

#include "imaging/pcx_header.h"

namespace vdk {
namespace {

constexpr qint64 kTrailingPaletteSize = 1 + 256 * 3;
constexpr unsigned char kTrailingPaletteMark = 0x0C;

// The 16 colours of the standard EGA palette, for version 3 files, which
// store no palette of their own.
constexpr std::array<QRgb, 16> kEgaPalette = {
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
    0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF,
};

// Reads the run-length coded pixel bytes of [device position, end) in
// blocks. A byte with its two high bits set repeats the next byte (its low
// six bits give the count); every other byte stands for itself. Runs may go
// on into the next scan line.
class TRunLengthReader {
 public:
  TRunLengthReader(QIODevice* device, qint64 end, bool compressed)
      : device_(device), end_(end), compressed_(compressed) {}

  // Fills line completely; false when the data or the device gives out.
  bool ReadLine(std::vector<uchar>& line) {
    std::size_t filled = 0;
    while (filled < line.size()) {
      if (runLeft_ > 0) {
        const std::size_t n = std::min<std::size_t>(runLeft_, line.size() - filled);
        std::fill_n(line.begin() + static_cast<std::ptrdiff_t>(filled), n, runValue_);
        filled += n;
        runLeft_ -= static_cast<int>(n);
        continue;
      }
      uchar code = 0;
      if (!NextByte(code)) return false;
      if (compressed_ && (code & 0xC0) == 0xC0) {
        if (!NextByte(runValue_)) return false;
        runLeft_ = code & 0x3F;
      } else {
        line[filled++] = code;
      }
    }
    return true;
  }

 private:
  bool NextByte(uchar& out) {
    if (at_ == block_.size() && !Refill()) return false;
    out = block_[at_++];
    return true;
  }

  bool Refill() {
    const qint64 left = end_ - device_->pos();
    if (left <= 0) return false;
    block_.resize(static_cast<std::size_t>(std::min<qint64>(left, 64 * 1024)));
    const qint64 got = device_->read(reinterpret_cast<char*>(block_.data()), qint64(block_.size()));
    if (got <= 0) return false;
    block_.resize(static_cast<std::size_t>(got));
    at_ = 0;
    return true;
  }

  QIODevice* device_;
  qint64 end_;
  bool compressed_;
  std::vector<uchar> block_;
  std::size_t at_ = 0;
  int runLeft_ = 0;
  uchar runValue_ = 0;
};

// The palette of a picture of at most 16 colours.
QList<QRgb> SmallPalette(const TPcxHeader& header) {
  const int colours = 1 << (header.BitsPerPixel * header.Planes);
  if (colours == 2 && header.Planes == 1) return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
  if (header.Version == 3) return QList<QRgb>(kEgaPalette.begin(), kEgaPalette.begin() + colours);
  return header.HeaderPalette.mid(0, colours);
}

// The palette at the end of a 256-colour picture, and where the pixel data
// before it ends. Files without the palette mark are drawn in grey.
QList<QRgb> TrailingPalette(QIODevice* device, qint64 dataStart, qint64 end, qint64* dataEnd) {
  *dataEnd = end;
  QList<QRgb> palette;
  if (end - dataStart >= kTrailingPaletteSize && device->seek(end - kTrailingPaletteSize)) {
    std::array<uchar, kTrailingPaletteSize> bytes{};
    const auto got = device->read(reinterpret_cast<char*>(bytes.data()), kTrailingPaletteSize);
    if (got == kTrailingPaletteSize && bytes[0] == kTrailingPaletteMark) {
      for (int i = 0; i < 256; ++i) palette.append(qRgb(bytes[1 + 3 * i], bytes[2 + 3 * i], bytes[3 + 3 * i]));
      *dataEnd = end - kTrailingPaletteSize;
      return palette;
    }
  }
  for (int i = 0; i < 256; ++i) palette.append(qRgb(i, i, i));
  return palette;
}

// One scan line of 1-bit planes: bit x of plane p is bit p of the index.
void PlanarToIndices(const TPcxHeader& header, const std::vector<uchar>& line, uchar* out) {
  for (int x = 0; x < header.Width; ++x) {
    uchar index = 0;
    for (int p = 0; p < header.Planes; ++p) {
      const uchar byte = line[std::size_t(p) * header.BytesPerLine + x / 8];
      index |= static_cast<uchar>(((byte >> (7 - x % 8)) & 1) << p);
    }
    out[x] = index;
  }
}

// One scan line of packed 2-, 4- or 8-bit indices, first pixel in the high bits.
void PackedToIndices(const TPcxHeader& header, const std::vector<uchar>& line, uchar* out) {
  const int bits = header.BitsPerPixel;
  const int perByte = 8 / bits;
  const uchar mask = static_cast<uchar>((1 << bits) - 1);
  for (int x = 0; x < header.Width; ++x) {
    const int shift = 8 - bits * (x % perByte + 1);
    out[x] = static_cast<uchar>((line[std::size_t(x / perByte)] >> shift) & mask);
  }
}

// One scan line of 8-bit red, green, blue (and alpha) planes.
void PlanesToRgb(const TPcxHeader& header, const std::vector<uchar>& line, QRgb* out) {
  const std::size_t stride = std::size_t(header.BytesPerLine);
  for (int x = 0; x < header.Width; ++x) {
    const std::size_t at = std::size_t(x);
    const int alpha = header.Planes == 4 ? line[at + 3 * stride] : 255;
    out[x] = qRgba(line[at], line[at + stride], line[at + 2 * stride], alpha);
  }
}

void ConvertLine(const TPcxHeader& header, const std::vector<uchar>& line, uchar* out) {
  if (header.IsTrueColour()) {
    PlanesToRgb(header, line, reinterpret_cast<QRgb*>(out));
  } else if (header.BitsPerPixel == 1) {
    PlanarToIndices(header, line, out);
  } else {
    PackedToIndices(header, line, out);
  }
}

QImage::Format ImageFormat(const TPcxHeader& header) {
  if (!header.IsTrueColour()) return QImage::Format_Indexed8;
  return header.Planes == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

}  // namespace

bool DecodePcx(QIODevice* device, qint64 start, qint64 end, QImage* image) {
  if (!device || device->isSequential() || !device->seek(start)) return false;
  char raw[TPcxHeader::kSize];
  if (device->read(raw, TPcxHeader::kSize) != TPcxHeader::kSize) return false;
  const std::optional<TPcxHeader> header = ParsePcxHeader(raw);
  if (!header) return false;

  const qint64 dataStart = start + TPcxHeader::kSize;
  qint64 dataEnd = end;
  QList<QRgb> palette;
  if (header->HasTrailingPalette()) {
    palette = TrailingPalette(device, dataStart, end, &dataEnd);
  } else if (!header->IsTrueColour()) {
    palette = SmallPalette(*header);
  }

  QImage out;
  if (!QImageIOHandler::allocateImage(QSize(header->Width, header->Height), ImageFormat(*header), &out)) return false;
  if (!palette.isEmpty()) out.setColorTable(palette);

  if (!device->seek(dataStart)) return false;
  TRunLengthReader reader(device, dataEnd, header->Compressed);
  std::vector<uchar> line(static_cast<std::size_t>(header->LineSize()));
  for (int y = 0; y < header->Height; ++y) {
    if (!reader.ReadLine(line)) return false;
    ConvertLine(*header, line, out.scanLine(y));
  }
  *image = out;
  return true;
}

}  // namespace vdk
