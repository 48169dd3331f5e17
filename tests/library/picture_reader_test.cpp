#include <gtest/gtest.h>

#include <QImage>

#include "library/picture_reader.h"
#include "picture_files.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::EncodePicture;
using test::Fixture;
using test::WriteFile;

class PictureReader : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ / name;
    WriteFile(path, bytes);
    return path;
  }
  test::TempDir dir_;
};

TEST_F(PictureReader, DecodesScaledDownToTheBoundingSize) {
  const std::string path = Write("photo.jpg", EncodePicture("jpeg", 800, 600));
  TReadOptions options;
  options.Bounding = QSize(200, 200);
  const TDecodedPicture picture = ReadPicture(path, TPictureDecoder::General, options);
  EXPECT_EQ(picture.Image.size(), QSize(200, 150));
  EXPECT_EQ(picture.OriginalSize, QSize(800, 600));
  EXPECT_EQ(ReadPicture(path, TPictureDecoder::General).Image.size(), QSize(800, 600));
}

TEST_F(PictureReader, NeverScalesUp) {
  const std::string path = Write("small.png", EncodePicture("png", 40, 30));
  TReadOptions options;
  options.Bounding = QSize(200, 200);
  EXPECT_EQ(ReadPicture(path, TPictureDecoder::General, options).Image.size(), QSize(40, 30));
}

TEST_F(PictureReader, RefusesWhatTheLibraryRefuses) {
  EXPECT_TRUE(
      ReadPicture(Write("huge.png", Fixture("png_declares_60000x60000.png")), TPictureDecoder::General).Image.isNull());
  EXPECT_TRUE(ReadPicture(Write("page.eps", Fixture("postscript_page.eps")), TPictureDecoder::General).Image.isNull());
  EXPECT_TRUE(ReadPicture(Write("text.jpg", "not a picture"), TPictureDecoder::General).Image.isNull());
  EXPECT_TRUE(ReadPicture(dir_ / "missing.jpg", TPictureDecoder::General).Image.isNull());
}

TEST_F(PictureReader, ShowsWhatACutFileHoldsUnlessAskedNotTo) {
  const std::string whole = EncodePicture("jpeg", 320, 240);
  const std::string path = Write("cut.jpg", whole.substr(0, whole.size() / 2));
  EXPECT_EQ(ReadPicture(path, TPictureDecoder::General).Image.size(), QSize(320, 240));
  TReadOptions strict;
  strict.AcceptCutShort = false;
  EXPECT_TRUE(ReadPicture(path, TPictureDecoder::General, strict).Image.isNull());
}

TEST_F(PictureReader, StoppedDecodeFails) {
  const std::string path = Write("photo.jpg", EncodePicture("jpeg", 64, 64));
  std::stop_source stop;
  stop.request_stop();
  TReadOptions options;
  options.Stop = stop.get_token();
  EXPECT_TRUE(ReadPicture(path, TPictureDecoder::General, options).Image.isNull());
}

}  // namespace
}  // namespace vdk
