#pragma once

#include <string>

class QWidget;

namespace vdk {

class TImagesView;

// The downloaded-files panel of the main window's right pane (the images
// list and the preview), which the window installs below its image tool bar
// (TMainForm::InstallImagesPanel). The image actions are the window's (its
// action table); the panel connects to them and sets their enabled state.
// The window keeps the panel for its life and destroys it before its own
// widgets, so the panel may own its widget (or be it). Used on the GUI thread
// only.
class TImagesPanel {
 public:
  virtual ~TImagesPanel() = default;

  // The panel's widget; the window takes it into its layout.
  virtual QWidget* Widget() = 0;
  // Where the running download of the displayed task adds its saved files;
  // bound to every task.
  virtual TImagesView* View() = 0;
  // A task node is selected: list its "Saved" folder (path without a
  // trailing "/") and set the image actions by the panel's rule.
  virtual void ShowFolder(const std::string& savedFolder) = 0;
  // A folder node is selected: nothing listed, every image action disabled.
  virtual void ClearFolder() = 0;
  // Sort the list again with its current sort (after a selection change).
  virtual void Resort() = 0;
};

}  // namespace vdk
