#pragma once

#include <QImageIOHandler>

namespace vdk {

// Reads TGA pictures with or without the version 2.0 footer ("targa").
class TTgaHandler : public QImageIOHandler {
 public:
  // True when the device holds a TGA header the decoder can draw and enough
  // bytes for its colour map and at least one pixel packet; the device
  // position is unchanged.
  static bool CanRead(QIODevice* device);

  bool canRead() const override;
  bool read(QImage* image) override;
  bool supportsOption(ImageOption option) const override;
  QVariant option(ImageOption option) const override;
};

}  // namespace vdk
