#pragma once

class QIODevice;
class QImage;

namespace vdk {

// Decodes the TGA picture that starts at the position of a random-access
// device: colour-mapped, true-colour (15, 16, 24 or 32 bits) and grey (8 bits,
// or 16 with alpha), raw or run-length coded (runs may go on into the next
// row), in any of the four pixel orders. Fails (false, image untouched) on a
// header it cannot draw, on a colour map or pixel data that ends before the
// last pixel, on a device read error and when the picture is larger than the
// image reader's allocation limit allows. Indices outside the colour map are
// drawn black.
bool DecodeTga(QIODevice* device, QImage* image);

}  // namespace vdk
