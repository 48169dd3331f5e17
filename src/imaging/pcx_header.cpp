#include "imaging/pcx_header.h"

#include <QIODevice>

namespace vdk {
namespace {

enum : int {
  kManufacturer = 0,
  kVersion = 1,
  kEncoding = 2,
  kBitsPerPixel = 3,
  kXMin = 4,
  kYMin = 6,
  kXMax = 8,
  kYMax = 10,
  kPalette = 16,
  kPlanes = 65,
  kBytesPerLine = 66,
};

constexpr unsigned char kZSoftMark = 0x0A;

int Byte(const char* bytes, int offset) { return static_cast<unsigned char>(bytes[offset]); }

int Word(const char* bytes, int offset) { return Byte(bytes, offset) | (Byte(bytes, offset + 1) << 8); }

bool KnownVersion(int version) { return version == 0 || version == 2 || version == 3 || version == 4 || version == 5; }

// Depth and plane combinations in use: 1-bit planes (mono up to 16 colours),
// packed 2-, 4- and 8-bit indices, and 8-bit RGB or RGBA planes.
bool KnownLayout(int bits, int planes) {
  switch (bits) {
    case 1:
      return planes >= 1 && planes <= 4;
    case 2:
    case 4:
      return planes == 1;
    case 8:
      return planes == 1 || planes == 3 || planes == 4;
    default:
      return false;
  }
}

}  // namespace

std::optional<TPcxHeader> ParsePcxHeader(const char* bytes) {
  if (Byte(bytes, kManufacturer) != kZSoftMark || !KnownVersion(Byte(bytes, kVersion))) return std::nullopt;
  const int encoding = Byte(bytes, kEncoding);
  if (encoding > 1) return std::nullopt;

  TPcxHeader header;
  header.Version = Byte(bytes, kVersion);
  header.Compressed = encoding == 1;
  header.BitsPerPixel = Byte(bytes, kBitsPerPixel);
  header.Planes = Byte(bytes, kPlanes);
  header.BytesPerLine = Word(bytes, kBytesPerLine);
  if (!KnownLayout(header.BitsPerPixel, header.Planes)) return std::nullopt;

  const int xMin = Word(bytes, kXMin), yMin = Word(bytes, kYMin);
  const int xMax = Word(bytes, kXMax), yMax = Word(bytes, kYMax);
  if (xMax < xMin || yMax < yMin) return std::nullopt;
  header.Width = xMax - xMin + 1;
  header.Height = yMax - yMin + 1;
  if (header.BytesPerLine < (qint64(header.Width) * header.BitsPerPixel + 7) / 8) return std::nullopt;

  header.HeaderPalette.reserve(16);
  for (int i = 0; i < 16; ++i) {
    const int at = kPalette + 3 * i;
    header.HeaderPalette.append(qRgb(Byte(bytes, at), Byte(bytes, at + 1), Byte(bytes, at + 2)));
  }
  return header;
}

std::optional<TPcxHeader> PeekPcxHeader(QIODevice* device) {
  if (!device) return std::nullopt;
  char bytes[TPcxHeader::kSize];
  if (device->peek(bytes, TPcxHeader::kSize) != TPcxHeader::kSize) return std::nullopt;
  return ParsePcxHeader(bytes);
}

}  // namespace vdk
