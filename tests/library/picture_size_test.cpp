#include <gtest/gtest.h>

#include <QImageReader>
#include <QtPlugin>

#include <sys/resource.h>

#include <cstring>

#include "fake_postscript_plugin.h"
#include "library/picture_size.h"
#include "picture_files.h"
#include "support/temp_dir.h"

Q_IMPORT_PLUGIN(TFakePostScriptPlugin)

namespace vdk {
namespace {

using test::EncodePicture;
using test::Fixture;

constexpr TPictureSize kFailed{-1, -1};

class LibraryPictureSize : public ::testing::Test {
 protected:
  // Writes bytes to a file of the given name and measures it with the
  // decoder its name picks.
  TPictureSize Measure(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ / name;
    test::WriteFile(path, bytes);
    return MeasurePicture(path, DecoderFor(path));
  }

  test::TempDir dir_;
};

long PeakResidentKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A BMP header declaring width x height at 24 bits, followed by a few bytes.
std::string BmpDeclaring(std::int32_t width, std::int32_t height) {
  std::string bytes(54 + 64, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&bytes[at], &v, 4); };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, static_cast<std::uint32_t>(bytes.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  bytes[26] = 1;
  bytes[28] = 24;
  return bytes;
}

TEST(LibraryDecoderChoice, GifExtensionInAnyCaseGoesToTheGifDecoder) {
  EXPECT_EQ(DecoderFor("/p/a.gif"), TPictureDecoder::Gif);
  EXPECT_EQ(DecoderFor("/p/a.GIF"), TPictureDecoder::Gif);
  EXPECT_EQ(DecoderFor("/p/a.Gif"), TPictureDecoder::Gif);
  EXPECT_EQ(DecoderFor("/p/a.jpeg"), TPictureDecoder::General);
  EXPECT_EQ(DecoderFor("/p/a.png"), TPictureDecoder::General);
  EXPECT_EQ(DecoderFor("/p/a"), TPictureDecoder::General);
  EXPECT_EQ(DecoderFor("/p.gif/a"), TPictureDecoder::General);
  EXPECT_EQ(DecoderFor("/p/a.gif.png"), TPictureDecoder::General);
}

// The GIF decoder accepts only GIF data, whatever the name says; the general
// loader goes by content.
TEST_F(LibraryPictureSize, GifDecoderAndGeneralLoaderSeeDifferentFiles) {
  const std::string png = EncodePicture("png", 20, 10);
  const std::string gif = Fixture("gif_40x30.gif");
  EXPECT_EQ(Measure("png_named.GIF", png), kFailed);
  EXPECT_EQ(Measure("png_named.gif", png), kFailed);
  EXPECT_EQ(Measure("png_named.png", png), (TPictureSize{20, 10}));
  EXPECT_EQ(Measure("png_without_extension", png), (TPictureSize{20, 10}));
  EXPECT_EQ(Measure("gif_named.GIF", gif), (TPictureSize{40, 30}));
  EXPECT_EQ(Measure("gif_named.jpeg", gif), (TPictureSize{40, 30}));
}

TEST_F(LibraryPictureSize, DecodesTheTrustedFormats) {
  for (const char* format : {"png", "jpeg", "bmp", "tiff", "ppm", "pgm", "ico", "webp"}) {
    SCOPED_TRACE(format);
    EXPECT_EQ(Measure(std::string("picture.") + format, EncodePicture(format, 33, 17)), (TPictureSize{33, 17}));
  }
  EXPECT_EQ(Measure("picture.tga", Fixture("tga_truevision_32x24.tga")), (TPictureSize{32, 24}));
}

TEST_F(LibraryPictureSize, CutShortPicturesFail) {
  std::vector<std::pair<std::string, std::string>> pictures = {{"gif", Fixture("gif_40x30.gif")}};
  for (const char* format : {"png", "jpeg", "bmp", "tiff", "ppm", "webp"})
    pictures.emplace_back(format, EncodePicture(format, 120, 90));
  for (const auto& [format, bytes] : pictures) {
    SCOPED_TRACE(format);
    const std::string name = "cut." + format;
    ASSERT_NE(Measure(name, bytes), kFailed);
    for (const std::size_t keep : {bytes.size() / 2, bytes.size() * 3 / 4, bytes.size() * 9 / 10})
      EXPECT_EQ(Measure(name, bytes.substr(0, keep)), kFailed) << "kept " << keep << " of " << bytes.size();
  }
  EXPECT_EQ(Measure("cut_in_pixel_data.gif", Fixture("gif_cut_in_pixel_data.gif")), kFailed);
}

// Damage the decoders report. (Damaged JPEG entropy data inside a complete
// file is different: libjpeg repairs it with a warning and the picture is
// measured.)
TEST_F(LibraryPictureSize, CorruptAndNonPictureFilesFail) {
  std::string png = EncodePicture("png", 64, 64);
  const std::size_t idat = png.find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  png[idat + 20] = static_cast<char>(png[idat + 20] ^ 0x55);
  EXPECT_EQ(Measure("bad_checksum.png", png), kFailed);

  std::string jpeg = EncodePicture("jpeg", 64, 64);
  const std::size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  jpeg[frame + 2] = jpeg[frame + 3] = '\0';  // a frame header of length 0
  EXPECT_EQ(Measure("bad_frame.jpeg", jpeg), kFailed);

  EXPECT_EQ(Measure("text.png", "just some text\n"), kFailed);
  EXPECT_EQ(Measure("empty.jpeg", ""), kFailed);
}

// Both files are tiny and declare billions of pixels; Qt's BMP reader does not
// apply the allocation limit itself, so the declared size is checked first.
TEST_F(LibraryPictureSize, HugeDeclaredSizeFailsWithoutTakingTheMemory) {
  const long before = PeakResidentKiB();
  EXPECT_EQ(Measure("huge.png", Fixture("png_declares_60000x60000.png")), kFailed);
  EXPECT_EQ(Measure("huge.bmp", BmpDeclaring(30000, 30000)), kFailed);
  EXPECT_LT(PeakResidentKiB() - before, 64 * 1024);
}

// The fake plugin is live (a plain reader uses it), but the library never
// shows it a file: vector pictures are measured by what their headers say.
TEST_F(LibraryPictureSize, PostScriptAndWmfAreMeasuredWithoutRendering) {
  using Fake = test::TFakePostScriptPlugin;
  const std::string eps = dir_ / "page.eps";
  test::WriteFile(eps, Fixture("postscript_page.eps"));
  const int decodes = Fake::Decodes;
  EXPECT_FALSE(QImageReader(QString::fromStdString(eps)).read().isNull());
  ASSERT_EQ(Fake::Decodes, decodes + 1);

  const int asked = Fake::Asked;
  EXPECT_EQ(MeasurePicture(eps, DecoderFor(eps)), (TPictureSize{120, 80}));
  EXPECT_EQ(Measure("page_without_extension", Fixture("postscript_page.eps")), (TPictureSize{120, 80}));
  EXPECT_EQ(Measure("photo.jpeg", EncodePicture("jpeg", 5, 5)), (TPictureSize{5, 5}));
  EXPECT_EQ(Fake::Asked, asked);
  EXPECT_EQ(Fake::Decodes, decodes + 1);
  EXPECT_EQ(Measure("drawing.wmf", Fixture("wmf_placeable_100x50.wmf")), (TPictureSize{100, 50}));
}

// A placeable header gives the box in logical units and the units per inch,
// shown at 96 dpi; a metafile without it has no size short of playing it.
TEST_F(LibraryPictureSize, MetafileSizeComesFromThePlaceableHeader) {
  std::string wmf = Fixture("wmf_placeable_100x50.wmf");
  wmf[6] = static_cast<char>(-20);  // left -20 (and the high byte 0xFF below)
  wmf[7] = static_cast<char>(0xFF);
  wmf[14] = static_cast<char>(192);  // 192 units per inch: half the size
  EXPECT_EQ(Measure("half.wmf", wmf), (TPictureSize{60, 25}));
  EXPECT_EQ(Measure("bare.wmf", wmf.substr(22)), kFailed);
  wmf[14] = 0;
  EXPECT_EQ(Measure("no_inch.wmf", wmf), kFailed);
}

TEST_F(LibraryPictureSize, PostScriptSizeComesFromTheBoundingBoxComment) {
  const std::string body = "newpath 0 0 moveto 10 10 lineto stroke\nshowpage\n";
  EXPECT_EQ(Measure("a.eps", "%!PS-Adobe-3.0 EPSF-3.0\r\n%%Title: x\r\n%%BoundingBox: 10 20 310.5 220\r\n" + body),
            (TPictureSize{301, 200}));
  EXPECT_EQ(Measure("atend.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\n%%EndComments\n" + body +
                                     "%%Trailer\n%%BoundingBox: 0 0 64 48\n%%EOF\n"),
            (TPictureSize{64, 48}));
  // A box after the header's comments is a drawing's, not the picture's.
  EXPECT_EQ(Measure("late.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%EndComments\n%%BoundingBox: 0 0 9 9\n" + body), kFailed);
  EXPECT_EQ(Measure("empty_box.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 5 5 5 9\n" + body), kFailed);

  // The binary DOS wrapper: a 30-byte header pointing at the PostScript.
  const std::string ps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 40 30\n" + body;
  std::string dos(30, '\0');
  const auto put32 = [&dos](std::size_t at, std::uint32_t v) { std::memcpy(&dos[at], &v, 4); };
  put32(0, 0xC6D3D0C5u);
  put32(4, 30);
  put32(8, static_cast<std::uint32_t>(ps.size()));
  EXPECT_EQ(Measure("wrapped.eps", dos + ps), (TPictureSize{40, 30}));
}

TEST_F(LibraryPictureSize, StopRequestedFailsTheDecode) {
  const std::string path = dir_ / "a.png";
  test::WriteFile(path, EncodePicture("png", 8, 8));
  std::stop_source stop;
  EXPECT_EQ(MeasurePicture(path, TPictureDecoder::General, stop.get_token()), (TPictureSize{8, 8}));
  stop.request_stop();
  EXPECT_EQ(MeasurePicture(path, TPictureDecoder::General, stop.get_token()), kFailed);
}

}  // namespace
}  // namespace vdk
