#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "platform/desktop/wallpaper_picture.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

struct Handed {
  std::string picture;
  TWallpaperStyle style;
  QImage image;
};

class FakeWallpaper : public TWallpaper {
 public:
  void Set(const std::string& picture, TWallpaperStyle style) override {
    handed.push_back({picture, style, QImage(QString::fromStdString(picture))});
    if (refuse) throw EWallpaperError("refused");
  }
  std::vector<Handed> handed;
  bool refuse = false;
};

class WallpaperPicture : public ::testing::Test {
 protected:
  std::string Picture(const char* name, QColor colour, const char* format, QImage::Format pixels) {
    QImage image(64, 48, pixels);
    image.fill(colour);
    const std::string path = dir_ / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), format));
    return path;
  }
  QStringList Owned() const { return QDir(QString::fromStdString(folder_)).entryList(QDir::Files); }

  test::TempDir dir_;
  std::string folder_ = dir_ / "home/Wallpaper/";
  FakeWallpaper desktop_;
};

TEST_F(WallpaperPicture, HandsOverADecodedCopyInVendrakesFolder) {
  const std::string source = Picture("photo.jpg", Qt::red, "jpeg", QImage::Format_RGB32);
  const std::string handed = SetWallpaperFromFile(desktop_, source, TWallpaperStyle::Stretch, folder_);
  ASSERT_EQ(desktop_.handed.size(), 1u);
  EXPECT_EQ(desktop_.handed[0].picture, handed);
  EXPECT_EQ(desktop_.handed[0].style, TWallpaperStyle::Stretch);
  EXPECT_EQ(handed.rfind(folder_, 0), 0u);
  EXPECT_EQ(desktop_.handed[0].image.size(), QSize(64, 48));
  EXPECT_EQ(Owned().size(), 1);
}

TEST_F(WallpaperPicture, AGifAfterAJpegGivesTheGifsFirstFrameAndOnlyOneFileStays) {
  SetWallpaperFromFile(desktop_, Picture("a.jpg", Qt::green, "jpeg", QImage::Format_RGB32), TWallpaperStyle::Center,
                       folder_);
  // Red first frame, blue second.
  const std::string gif = dir_ / "b.gif";
  test::WriteFile(gif, test::ReadFile(std::string(VENDRAKE_TEST_DATA) + "gif_anim_red_then_blue.gif"));
  const std::string handed = SetWallpaperFromFile(desktop_, gif, TWallpaperStyle::Tile, folder_);
  ASSERT_EQ(desktop_.handed.size(), 2u);
  EXPECT_NE(desktop_.handed[0].picture, handed);  // a new name, so the desktop sees a change
  const QColor shown = desktop_.handed[1].image.pixelColor(10, 10);
  EXPECT_GT(shown.red(), 230);
  EXPECT_LT(shown.blue(), 20);
  EXPECT_EQ(desktop_.handed[1].image.size(), QSize(16, 12));
  EXPECT_EQ(Owned(), QStringList{QString::fromStdString(handed).section('/', -1)});
}

TEST_F(WallpaperPicture, TransparentPicturesStayPng) {
  const std::string handed = SetWallpaperFromFile(
      desktop_, Picture("t.png", QColor(0, 0, 0, 0), "png", QImage::Format_ARGB32), TWallpaperStyle::Center, folder_);
  EXPECT_TRUE(QString::fromStdString(handed).endsWith(".png"));
}

TEST_F(WallpaperPicture, AFileThatDoesNotDecodeLeavesTheWallpaperAlone) {
  test::WriteFile(dir_ / "broken.jpg", "not a picture");
  EXPECT_THROW(SetWallpaperFromFile(desktop_, dir_ / "broken.jpg", TWallpaperStyle::Center, folder_), EWallpaperError);
  EXPECT_TRUE(desktop_.handed.empty());
}

TEST_F(WallpaperPicture, ARefusalKeepsTheWallpaperFileInUse) {
  SetWallpaperFromFile(desktop_, Picture("a.jpg", Qt::red, "jpeg", QImage::Format_RGB32), TWallpaperStyle::Center,
                       folder_);
  const QStringList before = Owned();
  desktop_.refuse = true;
  EXPECT_THROW(SetWallpaperFromFile(desktop_, Picture("b.jpg", Qt::green, "jpeg", QImage::Format_RGB32),
                                    TWallpaperStyle::Center, folder_),
               EWallpaperError);
  EXPECT_EQ(Owned(), before);
}

}  // namespace
}  // namespace vdk
