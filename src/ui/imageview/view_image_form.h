#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <memory>

#include "ui/imageview/viewer_state.h"

class QMenu;
class QMovie;

namespace Ui {
class TViewImageForm;
}

namespace vdk {

// The full-screen viewer: one picture of a list on black, with quarter
// turns, zoom modes and paging, all through its pop-up menu and shortcuts.
// The opener calls SetFileName, ShowCurrent, SetFileList and SetFileIndex
// and shows it modally. Fitted pictures are decoded at the screen's size;
// the full picture is decoded when it is shown at its own size or zoomed.
// A GIF plays in its picture control, centred, at its own size.
class TViewImageForm : public QDialog {
  Q_OBJECT
 public:
  explicit TViewImageForm(QWidget* parent = nullptr);
  ~TViewImageForm() override;

  void SetFileName(const QString& fileName);
  void ShowCurrent();
  void SetFileList(const QStringList& files);
  void SetFileIndex(int index);

  const TViewerState& State() const { return state_; }
  QMenu* PopupMenu() const { return menu_; }
  // The picture as shown (turned), and the GIF's movie when a GIF plays.
  const QImage& ShownPicture() const;
  QMovie* Movie() const { return movie_.get(); }

 public slots:
  void TurnLeft();
  void TurnRight();
  void ToggleZoom();
  void ZoomIn();
  void ZoomOut();
  void Prev();
  void Next();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowGif();
  void ShowPicture();
  // Decodes the full picture when the shown one was reduced and the zoom
  // needs more pixels.
  void EnsureFullPicture();
  void ShowTurned();
  void ApplyZoom();
  void StopMovie();

  std::unique_ptr<Ui::TViewImageForm> ui_;
  QMenu* menu_;
  TViewerState state_;
  QImage decoded_;  // the current file's picture, unturned (the rotate buffer's source)
  QSize original_;  // the size of the picture in the file
  std::unique_ptr<QMovie> movie_;
};

}  // namespace vdk
