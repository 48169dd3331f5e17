#include "ui/imageview/zoom.h"

#include <algorithm>

namespace vdk {

double ZoomFactor(TZoomMode mode, int percent, QSize picture, QSize page) {
  switch (mode) {
    case TZoomMode::OriginalSize:
      return 1.0;
    case TZoomMode::Percent:
      return percent / 100.0;
    case TZoomMode::FitToPage:
      if (picture.isEmpty() || page.isEmpty()) return 1.0;
      return std::min({1.0, double(page.width()) / picture.width(), double(page.height()) / picture.height()});
  }
  return 1.0;
}

}  // namespace vdk
