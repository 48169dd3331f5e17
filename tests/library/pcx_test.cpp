// The PCX and DCX reader, on files assembled here.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <array>
#include <cstdint>
#include <string>

namespace vdk {
namespace {

using Rgb = std::array<std::uint8_t, 3>;

struct PcxLayout {
  int Width = 1;
  int Height = 1;
  int Bits = 8;
  int Planes = 1;
  int BytesPerLine = 2;
  int Version = 5;
  std::array<Rgb, 16> HeaderPalette{};
};

void PutWord(std::string& bytes, std::size_t at, int value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

std::string Header(const PcxLayout& layout) {
  std::string bytes(128, '\0');
  bytes[0] = 0x0A;
  bytes[1] = static_cast<char>(layout.Version);
  bytes[2] = 1;
  bytes[3] = static_cast<char>(layout.Bits);
  PutWord(bytes, 8, layout.Width - 1);
  PutWord(bytes, 10, layout.Height - 1);
  for (std::size_t i = 0; i < 16; ++i)
    for (std::size_t c = 0; c < 3; ++c) bytes[16 + 3 * i + c] = static_cast<char>(layout.HeaderPalette[i][c]);
  bytes[65] = static_cast<char>(layout.Planes);
  PutWord(bytes, 66, layout.BytesPerLine);
  return bytes;
}

// Run-length codes raw scan-line bytes: runs of up to 63, and single bytes
// with both high bits set written as runs of one.
std::string Rle(const std::string& raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size();) {
    std::size_t run = 1;
    while (i + run < raw.size() && run < 63 && raw[i + run] == raw[i]) ++run;
    if (run > 1 || (static_cast<unsigned char>(raw[i]) & 0xC0) == 0xC0) out += static_cast<char>(0xC0 | run);
    out += raw[i];
    i += run;
  }
  return out;
}

std::string TrailingPalette() {
  std::string bytes(1, '\x0C');
  for (int i = 0; i < 256; ++i) bytes += {static_cast<char>(i), static_cast<char>(2 * i), static_cast<char>(255 - i)};
  return bytes;
}

QRgb PaletteColour(int i) { return qRgb(i, (2 * i) & 255, 255 - i); }

QImage Decode(const std::string& bytes, QByteArray* format = nullptr) {
  QByteArray data = QByteArray::fromStdString(bytes);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  if (format) *format = reader.format();
  return reader.read();
}

// 3 x 2 pixels, 256 colours, lines padded to 4 bytes.
std::string EightBitPicture() {
  const PcxLayout layout{.Width = 3, .Height = 2, .Bits = 8, .Planes = 1, .BytesPerLine = 4};
  return Header(layout) + Rle(std::string("\x00\x01\xC7\x00\xC7\x01\x00\x00", 8)) + TrailingPalette();
}

TEST(LibraryPcx, EightBitPictureUsesTheTrailingPalette) {
  QByteArray format;
  const QImage image = Decode(EightBitPicture(), &format);
  EXPECT_EQ(format, "pcx");
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(image.pixel(0, 0), PaletteColour(0));
  EXPECT_EQ(image.pixel(1, 0), PaletteColour(1));
  EXPECT_EQ(image.pixel(2, 0), PaletteColour(0xC7));
  EXPECT_EQ(image.pixel(0, 1), PaletteColour(0xC7));
  EXPECT_EQ(image.pixel(2, 1), PaletteColour(0));
}

TEST(LibraryPcx, TrueColourPlanesGiveRgbAndAlpha) {
  const PcxLayout rgb{.Width = 2, .Height = 1, .Bits = 8, .Planes = 3, .BytesPerLine = 2};
  QImage image = Decode(Header(rgb) + Rle(std::string("\x10\x20\x30\x40\x50\x60", 6)));
  ASSERT_EQ(image.size(), QSize(2, 1));
  EXPECT_EQ(image.pixel(0, 0), qRgb(0x10, 0x30, 0x50));
  EXPECT_EQ(image.pixel(1, 0), qRgb(0x20, 0x40, 0x60));

  const PcxLayout rgba{.Width = 1, .Height = 1, .Bits = 8, .Planes = 4, .BytesPerLine = 2};
  image = Decode(Header(rgba) + Rle(std::string("\x10\x00\x20\x00\x30\x00\x80\x00", 8)));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0), qRgba(0x10, 0x20, 0x30, 0x80));
}

TEST(LibraryPcx, OneBitPlanesAndPackedIndices) {
  // Mono, ten pixels: 1010000011 -> white where the bit is set.
  const PcxLayout mono{.Width = 10, .Height = 1, .Bits = 1, .Planes = 1, .BytesPerLine = 2};
  QImage image = Decode(Header(mono) + Rle(std::string("\xA0\xC0", 2)));
  ASSERT_EQ(image.size(), QSize(10, 1));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(9, 0), qRgb(255, 255, 255));

  // Sixteen colours in four 1-bit planes: pixel 0 has planes 0 and 2 set.
  PcxLayout ega{.Width = 2, .Height = 1, .Bits = 1, .Planes = 4, .BytesPerLine = 2};
  ega.HeaderPalette[5] = {1, 2, 3};
  ega.HeaderPalette[8] = {4, 5, 6};
  image = Decode(Header(ega) + Rle(std::string("\x80\x00\x00\x00\x80\x00\x40\x00", 8)));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
  EXPECT_EQ(image.pixel(1, 0), qRgb(4, 5, 6));

  // Packed 4-bit indices, high nibble first.
  PcxLayout packed{.Width = 3, .Height = 1, .Bits = 4, .Planes = 1, .BytesPerLine = 2};
  packed.HeaderPalette[2] = {7, 7, 7};
  packed.HeaderPalette[9] = {9, 9, 9};
  image = Decode(Header(packed) + Rle(std::string("\x92\x20", 2)));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(0, 0), qRgb(9, 9, 9));
  EXPECT_EQ(image.pixel(1, 0), qRgb(7, 7, 7));
  EXPECT_EQ(image.pixel(2, 0), qRgb(7, 7, 7));
}

TEST(LibraryPcx, RunMayCrossTheEndOfAScanLine) {
  const PcxLayout layout{.Width = 4, .Height = 2, .Bits = 8, .Planes = 1, .BytesPerLine = 4};
  const QImage image = Decode(Header(layout) + std::string("\xC8\x05", 2) + TrailingPalette());
  ASSERT_EQ(image.size(), QSize(4, 2));
  EXPECT_EQ(image.pixel(3, 1), PaletteColour(5));
}

TEST(LibraryPcx, CutShortOrImpossibleFilesFail) {
  const PcxLayout rgb{.Width = 40, .Height = 10, .Bits = 8, .Planes = 3, .BytesPerLine = 40};
  const std::string full = Header(rgb) + Rle(std::string(40 * 3 * 10, '\x21'));
  ASSERT_FALSE(Decode(full).isNull());
  EXPECT_TRUE(Decode(full.substr(0, full.size() - 1)).isNull());
  EXPECT_TRUE(Decode(full.substr(0, 128)).isNull());
  EXPECT_TRUE(Decode(full.substr(0, 100)).isNull());

  // The palette of a cut 256-colour file is gone; its pixel data is short.
  const std::string eight = EightBitPicture();
  EXPECT_TRUE(Decode(eight.substr(0, eight.size() - 769 - 1)).isNull());

  PcxLayout narrow = rgb;
  narrow.BytesPerLine = 39;  // too short for 40 pixels
  EXPECT_TRUE(Decode(Header(narrow) + Rle(std::string(39 * 3 * 10, '\x21'))).isNull());
  PcxLayout odd = rgb;
  odd.Bits = 3;
  EXPECT_TRUE(Decode(Header(odd) + Rle(std::string(40 * 3 * 10, '\x21'))).isNull());
}

TEST(LibraryPcx, DeclaredSizeIsReadWithoutDecoding) {
  const PcxLayout layout{.Width = 640, .Height = 480, .Bits = 8, .Planes = 3, .BytesPerLine = 640};
  QByteArray data = QByteArray::fromStdString(Header(layout));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  EXPECT_EQ(reader.size(), QSize(640, 480));
  EXPECT_TRUE(reader.read().isNull());
}

std::string Dcx(const std::vector<std::string>& pages) {
  std::string table = "\xB1\x68\xDE\x3A";
  std::string body;
  const std::size_t start = 4 + 4 * (pages.size() + 1);
  for (const std::string& page : pages) {
    const auto offset = static_cast<std::uint32_t>(start + body.size());
    for (int i = 0; i < 4; ++i) table += static_cast<char>((offset >> (8 * i)) & 0xFF);
    body += page;
  }
  return table + std::string(4, '\0') + body;
}

TEST(LibraryPcx, DcxPagesAreReadInTableOrder) {
  const PcxLayout small{.Width = 2, .Height = 1, .Bits = 8, .Planes = 3, .BytesPerLine = 2};
  const std::string second = Header(small) + Rle(std::string(6, '\x44'));
  QByteArray data = QByteArray::fromStdString(Dcx({EightBitPicture(), second}));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  EXPECT_EQ(reader.format(), "dcx");
  EXPECT_EQ(reader.imageCount(), 2);
  EXPECT_EQ(reader.size(), QSize(3, 2));
  const QImage first = reader.read();
  EXPECT_EQ(first.size(), QSize(3, 2));
  EXPECT_EQ(first.pixel(2, 0), PaletteColour(0xC7));
  EXPECT_EQ(reader.read().pixel(1, 0), qRgb(0x44, 0x44, 0x44));
  EXPECT_TRUE(reader.jumpToImage(1));
  EXPECT_EQ(reader.read().size(), QSize(2, 1));
  EXPECT_FALSE(reader.jumpToImage(2));
}

TEST(LibraryPcx, DcxWithAPageOutsideTheFileFails) {
  std::string bytes = Dcx({EightBitPicture()});
  bytes[5] = '\x7F';  // first offset now far beyond the end
  EXPECT_TRUE(Decode(bytes).isNull());
}

}  // namespace
}  // namespace vdk
