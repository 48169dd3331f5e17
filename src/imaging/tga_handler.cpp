#include "imaging/tga_handler.h"

#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QVariant>

#include "imaging/tga_decoder.h"
#include "imaging/tga_header.h"

namespace vdk {

bool TTgaHandler::CanRead(QIODevice* device) {
  const auto header = PeekTgaHeader(device);
  return header && (device->isSequential() || device->size() - device->pos() > header->DataStart());
}

bool TTgaHandler::canRead() const {
  if (!CanRead(device())) return false;
  setFormat("targa");
  return true;
}

bool TTgaHandler::read(QImage* image) { return DecodeTga(device(), image); }

bool TTgaHandler::supportsOption(ImageOption option) const { return option == Size; }

QVariant TTgaHandler::option(ImageOption option) const {
  if (option != Size) return {};
  const auto header = PeekTgaHeader(device());
  return header ? QVariant(QSize(header->Width, header->Height)) : QVariant();
}

}  // namespace vdk
