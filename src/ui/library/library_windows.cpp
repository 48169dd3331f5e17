#include "ui/library/library_windows.h"

#include "ui/common/dialog_runner.h"
#include "ui/library/copy_pictures_form.h"
#include "ui/library/image_library_form.h"

namespace vdk {

void ShowLibraryWindow(QWidget* parent, TImageLibrary& library) {
  TImageLibraryForm form(library, parent);
  RunDialog(form);
}

void ShowCollectTool(QWidget* parent, TImageLibrary& library, const std::string& saveFolder) {
  TCopyPicturesForm form(library, parent);
  form.SetSaveFolder(saveFolder);
  RunDialog(form);
}

}  // namespace vdk
