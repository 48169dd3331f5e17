#pragma once

#include <QStringList>

#include "ui/imageview/zoom.h"

namespace vdk {

// What the viewer shows and how: the file list and the current position, the
// zoom mode and percentage, and the quarter turns of the shown picture. The
// viewer's menu commands are its methods; each returns true when the picture
// must be loaded again (another file) or redrawn.
class TViewerState {
 public:
  static constexpr int kStartZoom = 100;
  static constexpr int kZoomStep = 10;
  static constexpr int kSmallestZoom = 30;

  const QString& FileName() const { return fileName_; }
  const QStringList& FileList() const { return fileList_; }
  int FileIndex() const { return fileIndex_; }
  TZoomMode Mode() const { return mode_; }
  int Zoom() const { return zoom_; }
  // Quarter turns to the right, 0..3.
  int Turns() const { return turns_; }

  // A new file starts unturned; the zoom stays.
  void SetFileName(const QString& fileName);
  void SetFileList(const QStringList& files) { fileList_ = files; }
  void SetFileIndex(int index) { fileIndex_ = index; }

  void TurnLeft() { turns_ = (turns_ + 3) % 4; }
  void TurnRight() { turns_ = (turns_ + 1) % 4; }
  // Fit to page becomes original size; any other mode becomes fit to page.
  void ToggleZoom();
  // Zoom + 10, shown at that percentage; no upper limit.
  void ZoomIn();
  // Zoom - 10 when above 30; false when nothing changed.
  bool ZoomOut();
  // The previous or next file of the list; false at either end.
  bool Prev();
  bool Next();

 private:
  bool MoveTo(int index);

  QString fileName_;
  QStringList fileList_;
  int fileIndex_ = -1;
  TZoomMode mode_ = TZoomMode::FitToPage;
  int zoom_ = kStartZoom;
  int turns_ = 0;
};

}  // namespace vdk
