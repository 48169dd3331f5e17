#include "imaging/tga_plugin.h"

#include "imaging/tga_handler.h"

namespace vdk {

QImageIOPlugin::Capabilities TTgaPlugin::capabilities(QIODevice* device, const QByteArray& format) const {
  if (format == "targa") return CanRead;
  if (!format.isEmpty() || !device || !device->isReadable()) return {};
  return TTgaHandler::CanRead(device) ? CanRead : Capabilities();
}

QImageIOHandler* TTgaPlugin::create(QIODevice* device, const QByteArray&) const {
  auto* handler = new TTgaHandler;
  handler->setDevice(device);
  handler->setFormat("targa");
  return handler;
}

}  // namespace vdk
