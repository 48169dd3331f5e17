#include "ui/imageview/viewer_state.h"

namespace vdk {

void TViewerState::SetFileName(const QString& fileName) {
  fileName_ = fileName;
  turns_ = 0;
}

void TViewerState::ToggleZoom() {
  mode_ = mode_ == TZoomMode::FitToPage ? TZoomMode::OriginalSize : TZoomMode::FitToPage;
}

void TViewerState::ZoomIn() {
  zoom_ += kZoomStep;
  mode_ = TZoomMode::Percent;
}

bool TViewerState::ZoomOut() {
  if (zoom_ <= kSmallestZoom) return false;
  zoom_ -= kZoomStep;
  mode_ = TZoomMode::Percent;
  return true;
}

bool TViewerState::Prev() { return fileIndex_ > 0 && MoveTo(fileIndex_ - 1); }

bool TViewerState::Next() { return fileIndex_ < fileList_.size() - 1 && MoveTo(fileIndex_ + 1); }

bool TViewerState::MoveTo(int index) {
  if (index < 0 || index >= fileList_.size()) return false;
  fileIndex_ = index;
  SetFileName(fileList_.at(index));
  return true;
}

}  // namespace vdk
