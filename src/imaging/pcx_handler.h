#pragma once

#include <QImageIOHandler>

namespace vdk {

// Reads single PCX pictures ("pcx").
class TPcxHandler : public QImageIOHandler {
 public:
  // True when the device holds a PCX header the decoder can draw; the device
  // position is unchanged.
  static bool CanRead(QIODevice* device);

  bool canRead() const override;
  bool read(QImage* image) override;
  bool supportsOption(ImageOption option) const override;
  QVariant option(ImageOption option) const override;
};

}  // namespace vdk
