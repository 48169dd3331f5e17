#include "library/vector_size.h"

#include <QIODevice>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace vdk {
namespace {

constexpr qint64 kWmfHeaderSize = 22 + 18;  // placeable header, then the metafile header
constexpr qint64 kCommentsWindow = 64 * 1024;
constexpr double kMaxPoints = 1e6;

std::uint32_t Le(const QByteArray& bytes, int at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

int Int16(const QByteArray& bytes, int at) { return static_cast<std::int16_t>(Le(bytes, at, 2)); }

std::optional<TPictureSize> Checked(double width, double height) {
  if (!(width >= 1 && height >= 1 && width <= kMaxPoints && height <= kMaxPoints)) return std::nullopt;
  return TPictureSize{static_cast<std::int32_t>(std::lround(width)), static_cast<std::int32_t>(std::lround(height))};
}

std::optional<TPictureSize> PlaceableMetafileSize(QIODevice* device) {
  if (!device->seek(0)) return std::nullopt;
  const QByteArray h = device->read(kWmfHeaderSize);
  if (h.size() != kWmfHeaderSize || Le(h, 0, 4) != 0x9AC6CDD7u) return std::nullopt;
  const std::uint32_t type = Le(h, 22, 2), headerWords = Le(h, 24, 2);
  const std::uint32_t inch = Le(h, 14, 2);
  if ((type != 1 && type != 2) || headerWords != 9 || inch == 0) return std::nullopt;
  const double scale = 96.0 / inch;
  return Checked(std::abs(Int16(h, 10) - Int16(h, 6)) * scale, std::abs(Int16(h, 12) - Int16(h, 8)) * scale);
}

// The four numbers after "%%BoundingBox:", or nullopt ("(atend)" included).
std::optional<TPictureSize> BoxOf(std::string_view rest) {
  double v[4];
  for (double& number : v) {
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (ec != std::errc() || !std::isfinite(number)) return std::nullopt;
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
  }
  return Checked(std::ceil(v[2] - v[0]), std::ceil(v[3] - v[1]));
}

// Walks the lines of text; for each "%%BoundingBox:" comment calls found
// with what follows it. Header mode stops at the end of the comments.
template <typename Found>
void BoundingBoxLines(std::string_view text, bool header, Found found) {
  constexpr std::string_view kKey = "%%BoundingBox:";
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(text.find_first_not_of("\r\n", end), text.size()));
    if (header && (line == "%%EndComments" || !line.starts_with('%'))) return;
    if (line.starts_with(kKey) && !found(line.substr(kKey.size()))) return;
  }
}

std::optional<TPictureSize> PostScriptSize(QIODevice* device) {
  if (!device->seek(0)) return std::nullopt;
  const QByteArray dos = device->read(12);
  qint64 start = 0, length = device->size();
  if (dos.size() == 12 && Le(dos, 0, 4) == 0xC6D3D0C5u) {
    start = Le(dos, 4, 4);
    length = std::min<qint64>(Le(dos, 8, 4), device->size() - start);
  }
  if (length <= 0 || !device->seek(start)) return std::nullopt;
  const QByteArray head = device->read(std::min(length, kCommentsWindow));
  const std::string_view text(head.constData(), static_cast<std::size_t>(head.size()));
  if (!text.starts_with("%!PS-Adobe")) return std::nullopt;

  std::optional<TPictureSize> size;
  bool atEnd = false;
  BoundingBoxLines(text, true, [&](std::string_view rest) {
    size = BoxOf(rest);
    atEnd = !size && rest.find("(atend)") != std::string_view::npos;
    return false;  // the first one counts
  });
  if (!atEnd) return size;
  const qint64 tail = std::min(length, kCommentsWindow);
  if (!device->seek(start + length - tail)) return std::nullopt;
  const QByteArray trailer = device->read(tail);
  BoundingBoxLines(std::string_view(trailer.constData(), static_cast<std::size_t>(trailer.size())), false,
                   [&](std::string_view rest) {
                     if (auto box = BoxOf(rest)) size = box;  // the last one counts
                     return true;
                   });
  return size;
}

}  // namespace

std::optional<TPictureSize> VectorPictureSize(QIODevice* device) {
  if (auto size = PlaceableMetafileSize(device)) return size;
  return PostScriptSize(device);
}

}  // namespace vdk
