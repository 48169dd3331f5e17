// The TGA reader, on files assembled here without the version 2.0 footer
// that most tools leave out.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <sys/resource.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library/picture_size.h"
#include "picture_files.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

struct TgaLayout {
  int ImageType = 2;
  int MapFirst = 0;
  int MapLength = 0;
  int MapEntryBits = 0;
  int Width = 1;
  int Height = 1;
  int PixelBits = 24;
  int Descriptor = 0;
  std::string Id;
};

std::string Word(int value) { return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)}; }

std::string Tga(const TgaLayout& l, const std::string& map, const std::string& pixels) {
  std::string bytes;
  bytes += static_cast<char>(l.Id.size());
  bytes += static_cast<char>(l.MapLength > 0 ? 1 : 0);
  bytes += static_cast<char>(l.ImageType);
  bytes += Word(l.MapFirst) + Word(l.MapLength);
  bytes += static_cast<char>(l.MapEntryBits);
  bytes += Word(0) + Word(0) + Word(l.Width) + Word(l.Height);
  bytes += static_cast<char>(l.PixelBits);
  bytes += static_cast<char>(l.Descriptor);
  return bytes + l.Id + map + pixels;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

QImage Decode(const std::string& bytes, const char* format = "targa") {
  QByteArray data = QByteArray::fromStdString(bytes);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  return reader.read();
}

// The pixels row by row from the top, as the picture shows them.
std::vector<QRgb> Pixels(const QImage& image) {
  std::vector<QRgb> out;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) out.push_back(image.pixel(x, y));
  return out;
}

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255);

// 2 x 2, stored bottom row first as TGA does by default: blue, white / red, green.
TEST(TgaReader, ReadsTrueColourOfEveryDepthBottomUp) {
  const std::vector<QRgb> expected{kRed, kGreen, kBlue, kWhite};
  const std::string bgr24 = Bytes({255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0});
  EXPECT_EQ(Pixels(Decode(Tga({.Width = 2, .Height = 2}, "", bgr24))), expected);

  const std::string bgra32 = Bytes({255, 0, 0, 255, 255, 255, 255, 255, 0, 0, 255, 255, 0, 255, 0, 255});
  EXPECT_EQ(Pixels(Decode(Tga({.Width = 2, .Height = 2, .PixelBits = 32}, "", bgra32))), expected);

  // 5-5-5: blue 0x001F, white 0x7FFF, red 0x7C00, green 0x03E0.
  const std::string rgb15 = Word(0x001F) + Word(0x7FFF) + Word(0x7C00) + Word(0x03E0);
  EXPECT_EQ(Pixels(Decode(Tga({.Width = 2, .Height = 2, .PixelBits = 16}, "", rgb15))), expected);
}

TEST(TgaReader, AlphaCountsOnlyWhenTheDescriptorDeclaresIt) {
  const std::string pixel = Bytes({0, 0, 255, 128});
  const QImage opaque = Decode(Tga({.PixelBits = 32}, "", pixel));
  EXPECT_EQ(opaque.pixel(0, 0), kRed);
  const QImage translucent = Decode(Tga({.PixelBits = 32, .Descriptor = 8}, "", pixel));
  EXPECT_TRUE(translucent.hasAlphaChannel());
  EXPECT_EQ(qAlpha(translucent.pixel(0, 0)), 128);
  const QImage grey = Decode(Tga({.ImageType = 3, .PixelBits = 16, .Descriptor = 8}, "", Bytes({200, 50})));
  EXPECT_EQ(grey.pixel(0, 0), qRgba(200, 200, 200, 50));
}

TEST(TgaReader, ReadsColourMapsAndGreyRawAndRunLength) {
  // A map of three 24-bit entries numbered from 5; index 9 is outside it.
  const std::string map = Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0});
  const TgaLayout mapped{.ImageType = 1,
                         .MapFirst = 5,
                         .MapLength = 3,
                         .MapEntryBits = 24,
                         .Width = 4,
                         .PixelBits = 8,
                         .Id = "made by hand"};
  const std::vector<QRgb> colours{kRed, kGreen, kBlue, qRgb(0, 0, 0)};
  EXPECT_EQ(Pixels(Decode(Tga(mapped, map, Bytes({5, 6, 7, 9})))), colours);
  TgaLayout mappedRle = mapped;
  mappedRle.ImageType = 9;
  EXPECT_EQ(Pixels(Decode(Tga(mappedRle, map, Bytes({0x03, 5, 6, 7, 9})))), colours);

  const std::vector<QRgb> greys{qRgb(7, 7, 7), qRgb(7, 7, 7), qRgb(7, 7, 7), qRgb(90, 90, 90)};
  EXPECT_EQ(Pixels(Decode(Tga({.ImageType = 3, .Width = 4, .PixelBits = 8}, "", Bytes({7, 7, 7, 90})))), greys);
  EXPECT_EQ(Pixels(Decode(Tga({.ImageType = 11, .Width = 4, .PixelBits = 8}, "", Bytes({0x82, 7, 0x00, 90})))), greys);
}

// Runs may go on into the next row; rows may be stored from the top and
// pixels from the right.
TEST(TgaReader, RunsCrossRowsAndEveryPixelOrderIsHonoured) {
  const std::string runs = Bytes({0x82, 0, 0, 255, 0x00, 0, 255, 0});  // red x 3, then green
  const TgaLayout topDown{.ImageType = 10, .Width = 2, .Height = 2, .Descriptor = 0x20};
  EXPECT_EQ(Pixels(Decode(Tga(topDown, "", runs))), (std::vector<QRgb>{kRed, kRed, kRed, kGreen}));
  TgaLayout mirrored = topDown;
  mirrored.Descriptor = 0x30;
  EXPECT_EQ(Pixels(Decode(Tga(mirrored, "", runs))), (std::vector<QRgb>{kRed, kRed, kGreen, kRed}));
  mirrored.Descriptor = 0x10;
  EXPECT_EQ(Pixels(Decode(Tga(mirrored, "", runs))), (std::vector<QRgb>{kGreen, kRed, kRed, kRed}));
}

TEST(TgaReader, CutShortOrImpossibleFilesFail) {
  const std::string raw = Tga({.Width = 2, .Height = 2}, "", std::string(12, '\x40'));
  ASSERT_FALSE(Decode(raw).isNull());
  EXPECT_TRUE(Decode(raw.substr(0, raw.size() - 1)).isNull());
  const std::string rle = Tga({.ImageType = 10, .Width = 2, .Height = 2}, "", Bytes({0x83, 1, 2, 3}));
  ASSERT_FALSE(Decode(rle).isNull());
  EXPECT_TRUE(Decode(rle.substr(0, rle.size() - 1)).isNull());
  const TgaLayout mapped{.ImageType = 1, .MapLength = 2, .MapEntryBits = 24, .PixelBits = 8};
  EXPECT_TRUE(Decode(Tga(mapped, std::string(5, '\0'), "")).isNull());  // the map itself is cut

  EXPECT_TRUE(Decode(Tga({.ImageType = 4}, "", "xxx")).isNull());
  EXPECT_TRUE(Decode(Tga({.ImageType = 2, .PixelBits = 12}, "", "xxx")).isNull());
  EXPECT_TRUE(Decode(Tga({.ImageType = 1, .PixelBits = 8}, "", "x")).isNull());  // colour-mapped without a map
  EXPECT_TRUE(Decode(Tga({.Width = 0}, "", "")).isNull());
  EXPECT_TRUE(Decode(Tga({.Descriptor = 0x40}, "", "xxx")).isNull());  // interleaved rows
}

long PeakResidentKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// 65535 x 65535 at four bytes a pixel is 16 GiB: refused before any pixel
// memory is taken, as for every other reader.
TEST(TgaReader, AHugeDeclaredSizeFailsWithoutTakingTheMemory) {
  const long before = PeakResidentKiB();
  const std::string huge = Tga({.ImageType = 10, .Width = 65535, .Height = 65535}, "", Bytes({0xFF, 1, 2, 3}));
  EXPECT_TRUE(Decode(huge).isNull());
  test::TempDir dir;
  test::WriteFile(dir / "huge.tga", huge);
  EXPECT_EQ(MeasurePicture(dir / "huge.tga", TPictureDecoder::General), (TPictureSize{-1, -1}));
  EXPECT_LT(PeakResidentKiB() - before, 64 * 1024);
}

// Pictures without the footer, which the library could not measure before,
// and one with it.
TEST(TgaReader, TheLibraryMeasuresTgaFilesWithAndWithoutTheFooter) {
  test::TempDir dir;
  test::WriteFile(dir / "plain.tga",
                  Tga({.ImageType = 10, .Width = 300, .Height = 2}, "",
                      Bytes({0xFF, 1, 2, 3, 0xFF, 1, 2, 3, 0xFF, 1, 2, 3, 0xFF, 1, 2, 3, 0xD7, 1, 2, 3})));
  test::WriteFile(dir / "grey",
                  Tga({.ImageType = 3, .Width = 3, .Height = 5, .PixelBits = 8}, "", std::string(15, 'g')));
  test::WriteFile(dir / "footer.tga", test::Fixture("tga_truevision_32x24.tga"));
  EXPECT_EQ(MeasurePicture(dir / "plain.tga", TPictureDecoder::General), (TPictureSize{300, 2}));
  EXPECT_EQ(MeasurePicture(dir / "grey", TPictureDecoder::General), (TPictureSize{3, 5}));
  EXPECT_EQ(MeasurePicture(dir / "footer.tga", TPictureDecoder::General), (TPictureSize{32, 24}));
}

}  // namespace
}  // namespace vdk
