#include "fake_postscript_plugin.h"

#include <QIODevice>
#include <QImage>
#include <QImageIOHandler>

namespace vdk::test {
namespace {

bool IsPostScript(QIODevice* device) {
  ++TFakePostScriptPlugin::Asked;
  return device && device->peek(4) == "%!PS";
}

class TFakePostScriptHandler : public QImageIOHandler {
 public:
  bool canRead() const override { return IsPostScript(device()); }
  bool read(QImage* image) override {
    ++TFakePostScriptPlugin::Decodes;
    *image = QImage(120, 80, QImage::Format_RGB32);
    return true;
  }
};

}  // namespace

std::atomic<int> TFakePostScriptPlugin::Asked{0};
std::atomic<int> TFakePostScriptPlugin::Decodes{0};

QImageIOPlugin::Capabilities TFakePostScriptPlugin::capabilities(QIODevice* device, const QByteArray& format) const {
  return format == "eps" || (format.isEmpty() && IsPostScript(device)) ? CanRead : Capabilities();
}

QImageIOHandler* TFakePostScriptPlugin::create(QIODevice* device, const QByteArray&) const {
  auto* handler = new TFakePostScriptHandler;
  handler->setDevice(device);
  handler->setFormat("eps");
  return handler;
}

}  // namespace vdk::test
