#include "picture_files.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <stdexcept>

#include "support/temp_dir.h"

namespace vdk::test {

std::string EncodePicture(const char* format, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x * y) & 255));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(image)) throw std::runtime_error(std::string("cannot encode ") + format);
  return bytes.toStdString();
}

std::string Fixture(const std::string& name) { return ReadFile(std::string(VENDRAKE_TEST_DATA) + name); }

}  // namespace vdk::test
