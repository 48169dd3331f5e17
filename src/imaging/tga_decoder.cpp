#include "imaging/tga_decoder.h"

#include <QIODevice>
#include <QImage>
#include <QImageIOHandler>

#include <algorithm>
#include <vector>

#include "imaging/tga_header.h"

namespace vdk {
namespace {

constexpr qint64 kBlockSize = 64 * 1024;

// The bytes of [device position, device end) in blocks.
class TByteSource {
 public:
  explicit TByteSource(QIODevice* device) : device_(device) {}

  // Copies n bytes to out; false when the data or the device gives out.
  bool Read(uchar* out, std::size_t n) {
    while (n > 0) {
      if (at_ == block_.size() && !Refill()) return false;
      const std::size_t part = std::min(n, block_.size() - at_);
      std::copy_n(block_.begin() + static_cast<std::ptrdiff_t>(at_), part, out);
      at_ += part;
      out += part;
      n -= part;
    }
    return true;
  }

 private:
  bool Refill() {
    const qint64 left = device_->size() - device_->pos();
    if (left <= 0) return false;
    block_.resize(static_cast<std::size_t>(std::min(left, kBlockSize)));
    const qint64 got = device_->read(reinterpret_cast<char*>(block_.data()), qint64(block_.size()));
    if (got <= 0) return false;
    block_.resize(static_cast<std::size_t>(got));
    at_ = 0;
    return true;
  }

  QIODevice* device_;
  std::vector<uchar> block_;
  std::size_t at_ = 0;
};

// The pixels of the data, raw or run-length coded: a packet byte with its
// high bit set repeats the one pixel that follows (low seven bits + 1)
// times, otherwise that many pixels follow as they are.
class TPixelReader {
 public:
  TPixelReader(TByteSource& source, int pixelBytes, bool runLength)
      : source_(source), pixelBytes_(static_cast<std::size_t>(pixelBytes)), runLength_(runLength) {}

  // Fills out with count pixels of pixelBytes each.
  bool Read(uchar* out, int count) {
    if (!runLength_) return source_.Read(out, pixelBytes_ * static_cast<std::size_t>(count));
    while (count > 0) {
      if (left_ == 0 && !NextPacket()) return false;
      const int n = std::min(count, left_);
      if (repeat_) {
        for (int i = 0; i < n; ++i, out += pixelBytes_) std::copy_n(pixel_, pixelBytes_, out);
      } else {
        if (!source_.Read(out, pixelBytes_ * static_cast<std::size_t>(n))) return false;
        out += pixelBytes_ * static_cast<std::size_t>(n);
      }
      left_ -= n;
      count -= n;
    }
    return true;
  }

 private:
  bool NextPacket() {
    uchar code = 0;
    if (!source_.Read(&code, 1)) return false;
    left_ = (code & 0x7F) + 1;
    repeat_ = (code & 0x80) != 0;
    return !repeat_ || source_.Read(pixel_, pixelBytes_);
  }

  TByteSource& source_;
  std::size_t pixelBytes_;
  bool runLength_;
  int left_ = 0;
  bool repeat_ = false;
  uchar pixel_[4] = {};
};

uchar Expand5(int value) { return static_cast<uchar>((value << 3) | (value >> 2)); }

// One colour of 15, 16, 24 or 32 bits stored as blue, green, red (alpha).
QRgb Colour(const uchar* p, int bits, bool alpha) {
  if (bits <= 16) {
    const int v = p[0] | (p[1] << 8);
    const int a = alpha && bits == 16 && !(v & 0x8000) ? 0 : 255;
    return qRgba(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), a);
  }
  return qRgba(p[2], p[1], p[0], bits == 32 && alpha ? p[3] : 255);
}

bool ReadColourMap(TByteSource& source, const TTgaHeader& header, std::vector<QRgb>& map) {
  if (!header.HasColourMap) return true;
  std::vector<uchar> bytes(std::size_t(header.MapLength) * header.MapEntryBytes());
  if (!source.Read(bytes.data(), bytes.size())) return false;
  if (header.Kind() != TTgaHeader::kColourMapped) return true;  // present but unused
  map.resize(std::size_t(header.MapLength));
  for (std::size_t i = 0; i < map.size(); ++i)
    map[i] = Colour(&bytes[i * header.MapEntryBytes()], header.MapEntryBits, header.HasAlpha());
  return true;
}

// Turns one row of stored pixels into colours.
class TRowConverter {
 public:
  TRowConverter(const TTgaHeader& header, std::vector<QRgb> map) : header_(header), map_(std::move(map)) {}

  QRgb operator()(const uchar* p) const {
    const bool alpha = header_.HasAlpha();
    switch (header_.Kind()) {
      case TTgaHeader::kColourMapped: {
        const int index = (header_.PixelBits == 16 ? p[0] | (p[1] << 8) : p[0]) - header_.MapFirst;
        return index >= 0 && index < int(map_.size()) ? map_[std::size_t(index)] : qRgb(0, 0, 0);
      }
      case TTgaHeader::kGrey:
        return qRgba(p[0], p[0], p[0], header_.PixelBits == 16 && alpha ? p[1] : 255);
      case TTgaHeader::kTrueColour:
        break;
    }
    return Colour(p, header_.PixelBits, alpha);
  }

 private:
  const TTgaHeader& header_;
  std::vector<QRgb> map_;
};

}  // namespace

bool DecodeTga(QIODevice* device, QImage* image) {
  if (!device || device->isSequential()) return false;
  const qint64 start = device->pos();
  char raw[TTgaHeader::kSize];
  if (device->read(raw, TTgaHeader::kSize) != TTgaHeader::kSize) return false;
  const std::optional<TTgaHeader> header = ParseTgaHeader(raw);
  if (!header || !device->seek(start + header->MapStart())) return false;

  QImage out;
  const auto format = header->HasAlpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  if (!QImageIOHandler::allocateImage(QSize(header->Width, header->Height), format, &out)) return false;

  TByteSource source(device);
  std::vector<QRgb> map;
  if (!ReadColourMap(source, *header, map)) return false;
  const TRowConverter convert(*header, std::move(map));
  TPixelReader pixels(source, header->PixelBytes(), header->RunLength());
  std::vector<uchar> row(std::size_t(header->Width) * header->PixelBytes());
  for (int y = 0; y < header->Height; ++y) {
    if (!pixels.Read(row.data(), header->Width)) return false;
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(header->TopToBottom() ? y : header->Height - 1 - y));
    for (int x = 0; x < header->Width; ++x) {
      const QRgb colour = convert(&row[std::size_t(x) * header->PixelBytes()]);
      line[header->RightToLeft() ? header->Width - 1 - x : x] = colour;
    }
  }
  *image = out;
  return true;
}

}  // namespace vdk
