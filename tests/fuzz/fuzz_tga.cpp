// Downloaded TGA files: the reader either decodes a picture of the declared
// size or fails, and never reads outside its buffers.

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtPlugin>

#include <cstdint>

Q_IMPORT_PLUGIN(TTgaPlugin)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "targa");
  const QSize declared = reader.size();
  const QImage image = reader.read();
  if (!image.isNull() && image.size() != declared) __builtin_trap();
  return 0;
}
