#pragma once

#include <QtGlobal>

#include <optional>

class QIODevice;

namespace vdk {

// The 18-byte header that starts every TGA picture. TGA has no magic bytes
// and most tools write no footer, so a header counts only when every field
// describes a picture the decoder can draw.
struct TTgaHeader {
  static constexpr qint64 kSize = 18;
  enum TKind { kColourMapped = 1, kTrueColour = 2, kGrey = 3 };

  int IdLength = 0;
  bool HasColourMap = false;
  int ImageType = 0;  // 1, 2, 3 raw; 9, 10, 11 run-length coded
  int MapFirst = 0;   // index of the first colour map entry
  int MapLength = 0;
  int MapEntryBits = 0;
  int Width = 0;
  int Height = 0;
  int PixelBits = 0;
  int Descriptor = 0;  // alpha bits, then the order of pixels and rows

  TKind Kind() const { return static_cast<TKind>(ImageType & 7); }
  bool RunLength() const { return ImageType >= 9; }
  int AlphaBits() const { return Descriptor & 0x0F; }
  bool RightToLeft() const { return (Descriptor & 0x10) != 0; }
  bool TopToBottom() const { return (Descriptor & 0x20) != 0; }
  int PixelBytes() const { return (PixelBits + 7) / 8; }
  int MapEntryBytes() const { return (MapEntryBits + 7) / 8; }
  // Where the colour map and the pixel data begin, from the header's start.
  qint64 MapStart() const { return kSize + IdLength; }
  qint64 DataStart() const { return MapStart() + (HasColourMap ? qint64(MapLength) * MapEntryBytes() : 0); }
  // Whether the pixels (or, for a colour-mapped picture, its entries) carry alpha.
  bool HasAlpha() const;
};

// The header in bytes[0..17], or nullopt unless it describes a picture the
// decoder can draw: a known image type (colour-mapped, true-colour or grey,
// raw or run-length), depths that type uses, a colour map where one is
// needed, a non-empty area and no interleaving.
std::optional<TTgaHeader> ParseTgaHeader(const char* bytes);

// The header at the device's position, read without moving the position.
std::optional<TTgaHeader> PeekTgaHeader(QIODevice* device);

}  // namespace vdk
