#include "imaging/tga_header.h"

#include <QIODevice>

namespace vdk {
namespace {

enum : int {
  kIdLength = 0,
  kColourMapType = 1,
  kImageType = 2,
  kMapFirst = 3,
  kMapLength = 5,
  kMapEntryBits = 7,
  kWidth = 12,
  kHeight = 14,
  kPixelBits = 16,
  kDescriptor = 17,
};

int Byte(const char* bytes, int offset) { return static_cast<unsigned char>(bytes[offset]); }

int Word(const char* bytes, int offset) { return Byte(bytes, offset) | (Byte(bytes, offset + 1) << 8); }

bool ColourBits(int bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

bool KnownLayout(const TTgaHeader& h) {
  switch (h.Kind()) {
    case TTgaHeader::kColourMapped:
      return h.HasColourMap && h.MapLength > 0 && (h.PixelBits == 8 || h.PixelBits == 16);
    case TTgaHeader::kTrueColour:
      return ColourBits(h.PixelBits);
    case TTgaHeader::kGrey:
      return h.PixelBits == 8 || h.PixelBits == 16;
  }
  return false;
}

}  // namespace

bool TTgaHeader::HasAlpha() const {
  if (AlphaBits() == 0) return false;
  const int bits = Kind() == kColourMapped ? MapEntryBits : PixelBits;
  return bits == 16 || bits == 32;
}

std::optional<TTgaHeader> ParseTgaHeader(const char* bytes) {
  const int mapType = Byte(bytes, kColourMapType);
  const int type = Byte(bytes, kImageType);
  if (mapType > 1 || (type & ~8) < 1 || (type & ~8) > 3) return std::nullopt;

  TTgaHeader header;
  header.IdLength = Byte(bytes, kIdLength);
  header.HasColourMap = mapType == 1;
  header.ImageType = type;
  header.MapFirst = Word(bytes, kMapFirst);
  header.MapLength = Word(bytes, kMapLength);
  header.MapEntryBits = Byte(bytes, kMapEntryBits);
  header.Width = Word(bytes, kWidth);
  header.Height = Word(bytes, kHeight);
  header.PixelBits = Byte(bytes, kPixelBits);
  header.Descriptor = Byte(bytes, kDescriptor);
  // A colour map, even one the picture does not use, must have a size the
  // data can be found behind.
  if (header.HasColourMap && !ColourBits(header.MapEntryBits)) return std::nullopt;
  if (!KnownLayout(header) || header.Width == 0 || header.Height == 0) return std::nullopt;
  if ((header.Descriptor & 0xC0) != 0 || header.AlphaBits() > 8) return std::nullopt;
  return header;
}

std::optional<TTgaHeader> PeekTgaHeader(QIODevice* device) {
  if (!device) return std::nullopt;
  char bytes[TTgaHeader::kSize];
  if (device->peek(bytes, TTgaHeader::kSize) != TTgaHeader::kSize) return std::nullopt;
  return ParseTgaHeader(bytes);
}

}  // namespace vdk
