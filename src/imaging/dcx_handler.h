#pragma once

#include <QImageIOHandler>
#include <QList>

namespace vdk {

// Reads DCX files ("dcx"): a table of up to 1023 page offsets after a magic
// number, each page a complete PCX picture. Pages are read in table order.
class TDcxHandler : public QImageIOHandler {
 public:
  // True when the device starts with the DCX magic number; the device
  // position is unchanged.
  static bool CanRead(QIODevice* device);

  bool canRead() const override;
  bool read(QImage* image) override;
  bool supportsOption(ImageOption option) const override;
  QVariant option(ImageOption option) const override;
  int imageCount() const override;
  int currentImageNumber() const override;
  bool jumpToImage(int imageNumber) override;
  bool jumpToNextImage() override;

 private:
  struct Page {
    qint64 Start = 0;
    qint64 End = 0;
  };

  // Reads the page table once; false when it is missing or points outside
  // the file.
  bool LoadPages() const;

  mutable bool loaded_ = false;
  mutable QList<Page> pages_;
  int current_ = 0;
};

}  // namespace vdk
