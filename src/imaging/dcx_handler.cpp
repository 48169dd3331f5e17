#include "imaging/dcx_handler.h"

#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QVariant>
#include <QtEndian>

#include <algorithm>

#include "imaging/pcx_decoder.h"
#include "imaging/pcx_header.h"

namespace vdk {
namespace {

constexpr quint32 kMagic = 987654321;
constexpr int kMaxPages = 1023;
constexpr qint64 kTableStart = 4;

}  // namespace

bool TDcxHandler::CanRead(QIODevice* device) {
  if (!device) return false;
  char magic[4];
  return device->peek(magic, 4) == 4 && qFromLittleEndian<quint32>(magic) == kMagic;
}

bool TDcxHandler::canRead() const {
  if (!CanRead(device())) return false;
  setFormat("dcx");
  return true;
}

bool TDcxHandler::LoadPages() const {
  if (loaded_) return !pages_.isEmpty();
  loaded_ = true;
  QIODevice* const source = device();
  if (!source || source->isSequential() || !CanRead(source)) return false;
  const qint64 base = source->pos();
  const qint64 end = source->size();
  if (!source->seek(base + kTableStart)) return false;

  QList<qint64> starts;
  bool valid = true;
  char entry[4];
  while (valid && starts.size() < kMaxPages && source->read(entry, 4) == 4) {
    const quint32 offset = qFromLittleEndian<quint32>(entry);
    if (offset == 0) break;
    valid = offset >= kTableStart + 4 && base + offset < end;
    starts.append(base + offset);
  }
  source->seek(base);
  if (!valid) return false;

  // A page runs up to the next page that starts after it, or to the end.
  QList<qint64> sorted = starts;
  std::sort(sorted.begin(), sorted.end());
  for (const qint64 start : starts) {
    const auto next = std::upper_bound(sorted.begin(), sorted.end(), start);
    pages_.append({start, next == sorted.end() ? end : *next});
  }
  return !pages_.isEmpty();
}

bool TDcxHandler::read(QImage* image) {
  if (!LoadPages() || current_ >= pages_.size()) return false;
  const Page page = pages_[current_];
  if (!DecodePcx(device(), page.Start, page.End, image)) return false;
  ++current_;
  return true;
}

bool TDcxHandler::supportsOption(ImageOption option) const { return option == Size; }

QVariant TDcxHandler::option(ImageOption option) const {
  if (option != Size || !LoadPages() || current_ >= pages_.size()) return {};
  QIODevice* const source = device();
  const qint64 pos = source->pos();
  if (!source->seek(pages_[current_].Start)) return {};
  const auto header = PeekPcxHeader(source);
  source->seek(pos);
  return header ? QVariant(QSize(header->Width, header->Height)) : QVariant();
}

int TDcxHandler::imageCount() const { return LoadPages() ? int(pages_.size()) : 0; }

int TDcxHandler::currentImageNumber() const { return current_; }

bool TDcxHandler::jumpToImage(int imageNumber) {
  if (!LoadPages() || imageNumber < 0 || imageNumber >= pages_.size()) return false;
  current_ = imageNumber;
  return true;
}

bool TDcxHandler::jumpToNextImage() { return jumpToImage(current_ + 1); }

}  // namespace vdk
