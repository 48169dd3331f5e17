#pragma once

#include <QtGlobal>

class QIODevice;
class QImage;

namespace vdk {

// Decodes the PCX picture stored in bytes [start, end) of a random-access
// device: the header, every scan line, and for 256-colour pictures the
// palette at the end of the range. Fails (false, image untouched) on a header
// it cannot draw, on pixel data that ends before the last scan line, on a
// device read error and when the picture is larger than the image reader's
// allocation limit allows.
bool DecodePcx(QIODevice* device, qint64 start, qint64 end, QImage* image);

}  // namespace vdk
