#include "imaging/pcx_plugin.h"

#include "imaging/dcx_handler.h"
#include "imaging/pcx_handler.h"

namespace vdk {

QImageIOPlugin::Capabilities TPcxPlugin::capabilities(QIODevice* device, const QByteArray& format) const {
  if (format == "pcx" || format == "dcx") return CanRead;
  if (!format.isEmpty() || !device || !device->isReadable()) return {};
  return TPcxHandler::CanRead(device) || TDcxHandler::CanRead(device) ? CanRead : Capabilities();
}

// Without a format name the handler is chosen by the device's content.
QImageIOHandler* TPcxPlugin::create(QIODevice* device, const QByteArray& format) const {
  const bool dcx = format == "dcx" || (format.isEmpty() && TDcxHandler::CanRead(device));
  QImageIOHandler* handler = dcx ? static_cast<QImageIOHandler*>(new TDcxHandler) : new TPcxHandler;
  handler->setDevice(device);
  handler->setFormat(dcx ? "dcx" : "pcx");
  return handler;
}

}  // namespace vdk
