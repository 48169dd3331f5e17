#pragma once

#include <QImageIOPlugin>

namespace vdk {

// The image format plugin for TGA pictures. Its format is called "targa":
// Qt's own TGA reader, which refuses every file without the version 2.0
// footer, keeps the name "tga", and a reader asked for a format takes the
// first plugin that claims it. It is linked in statically and registered by
// Q_IMPORT_PLUGIN(TTgaPlugin).
class TTgaPlugin : public QImageIOPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "tga.json")

 public:
  Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
  QImageIOHandler* create(QIODevice* device, const QByteArray& format = QByteArray()) const override;
};

}  // namespace vdk
