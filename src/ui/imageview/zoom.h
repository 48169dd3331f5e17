#pragma once

#include <QSize>

namespace vdk {

// The zoom modes of the image views.
enum class TZoomMode { FitToPage, OriginalSize, Percent };

// The factor a picture of the given size is drawn at on a page: fit to page
// shrinks it to fit (never enlarges it), original size is 1, percent is
// percent / 100. An empty picture or page gives 1.
double ZoomFactor(TZoomMode mode, int percent, QSize picture, QSize page);

}  // namespace vdk
