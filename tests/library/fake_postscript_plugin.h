#pragma once

#include <QImageIOPlugin>

#include <atomic>

namespace vdk::test {

// Stands for a system-wide plugin that renders PostScript (through an
// interpreter, in real life): it claims "%!PS" files and counts how often it
// was asked to look at content and to decode.
class TFakePostScriptPlugin : public QImageIOPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "fake_postscript_plugin.json")

 public:
  static std::atomic<int> Asked;
  static std::atomic<int> Decodes;

  Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
  QImageIOHandler* create(QIODevice* device, const QByteArray& format = QByteArray()) const override;
};

}  // namespace vdk::test
