#pragma once

#include <QImageIOPlugin>

namespace vdk {

// The image format plugin for PCX pictures and DCX multi-page files. It is
// linked in statically and registered by Q_IMPORT_PLUGIN(TPcxPlugin).
class TPcxPlugin : public QImageIOPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "pcx.json")

 public:
  Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
  QImageIOHandler* create(QIODevice* device, const QByteArray& format = QByteArray()) const override;
};

}  // namespace vdk
