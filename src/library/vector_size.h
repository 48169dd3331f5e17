#pragma once

#include <optional>

#include "library/picture_size.h"

class QIODevice;

namespace vdk {

// The size of a vector picture as its header declares it, read without
// rendering anything (no PostScript interpreter ever sees a downloaded
// file):
// - a Windows metafile with the placeable header: its bounding box in
//   logical units, at the header's units per inch, shown at 96 pixels per
//   inch;
// - Encapsulated PostScript, also inside the binary DOS EPS wrapper: the
//   "%%BoundingBox:" comment of its header (or, when that says "(atend)", of
//   its trailer), in points, one pixel each as at 72 dpi.
// nullopt for anything else, or when the declared box is empty. The device
// position is left anywhere.
std::optional<TPictureSize> VectorPictureSize(QIODevice* device);

}  // namespace vdk
