#pragma once

#include <QtGui/qrgb.h>
#include <QList>

#include <optional>

class QIODevice;

namespace vdk {

// The 128-byte header that starts every PCX picture, reduced to what drawing
// the picture needs.
struct TPcxHeader {
  static constexpr qint64 kSize = 128;

  int Version = 0;
  bool Compressed = true;
  int BitsPerPixel = 0;  // per plane
  int Planes = 0;
  int BytesPerLine = 0;  // per plane
  int Width = 0;
  int Height = 0;
  QList<QRgb> HeaderPalette;  // the 16 colours stored in the header

  // Bytes of one decoded scan line, all planes.
  qint64 LineSize() const { return qint64(Planes) * BytesPerLine; }
  // 256-colour pictures keep their palette after the pixel data.
  bool HasTrailingPalette() const { return BitsPerPixel == 8 && Planes == 1; }
  bool IsTrueColour() const { return BitsPerPixel == 8 && Planes >= 3; }
};

// The header in bytes[0..127], or nullopt unless it describes a picture the
// decoder can draw (known version, encoding, depth and plane count, a
// non-empty area and scan lines long enough for the width).
std::optional<TPcxHeader> ParsePcxHeader(const char* bytes);

// The header at the device's position, read without moving the position.
std::optional<TPcxHeader> PeekPcxHeader(QIODevice* device);

}  // namespace vdk
