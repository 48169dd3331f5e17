#include "picture_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <stdexcept>

namespace vdk::test {

std::string DrawPicture(const std::string& path, int width, int height, QColor colour, const char* format) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  if (!image.save(QString::fromStdString(path), format)) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string CopyAnimatedGif(const std::string& path) {
  WriteFile(path, ReadFile(std::string(VENDRAKE_TEST_DATA) + "gif_anim_red_then_blue.gif"));
  return path;
}

SavedFolder::SavedFolder() {
  ::mkdir(Root("Saved").c_str(), 0700);
  ::mkdir(Root("outside").c_str(), 0700);
  ::mkdir(Path("sub").c_str(), 0700);
  WriteFile(Root("outside/sentinel.jpg"), "sentinel");
  DrawPicture(Path("red.jpg"), 300, 200, Qt::red, "jpeg");
  DrawPicture(Path("green.png"), 40, 30, Qt::green, "png");
  DrawPicture(Path("big.bmp"), 40, 30, Qt::blue, "bmp");
  CopyAnimatedGif(Path("anim.gif"));
  WriteFile(Path("broken.jpg"), "not a picture");
  WriteFile(Path("coming.jpg!!wr"), "partial");
  WriteFile(Path("sub/inner.jpg"), "inner");
  ::symlink(Root("outside").c_str(), Path("outside").c_str());
  ::mkfifo(Path("pipe.jpg").c_str(), 0600);
}

}  // namespace vdk::test
