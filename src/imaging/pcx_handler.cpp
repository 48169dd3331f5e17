#include "imaging/pcx_handler.h"

#include <QImage>
#include <QSize>
#include <QVariant>

#include "imaging/pcx_decoder.h"
#include "imaging/pcx_header.h"

namespace vdk {

bool TPcxHandler::CanRead(QIODevice* device) { return PeekPcxHeader(device).has_value(); }

bool TPcxHandler::canRead() const {
  if (!CanRead(device())) return false;
  setFormat("pcx");
  return true;
}

bool TPcxHandler::read(QImage* image) {
  QIODevice* const source = device();
  return source && DecodePcx(source, source->pos(), source->size(), image);
}

bool TPcxHandler::supportsOption(ImageOption option) const { return option == Size; }

QVariant TPcxHandler::option(ImageOption option) const {
  if (option != Size) return {};
  const auto header = PeekPcxHeader(device());
  return header ? QVariant(QSize(header->Width, header->Height)) : QVariant();
}

}  // namespace vdk
