#pragma once

#include <functional>

namespace vdk {

class TMainForm;

// The windows that other parts of the program contribute to the main window
// (MainFormTools() in main_form_tools.h gives the program's own). An action
// whose hook is not set stays disabled.
struct TMainFormHooks {
  // "&Import from Internet": the import dialog, which files each picked
  // project in the task tree.
  std::function<void(TMainForm& form)> Import;
  // "Collect", "Library", "Delete By ...": the tools of the image library.
  std::function<void(TMainForm& form)> Collect;
  std::function<void(TMainForm& form)> Library;
  std::function<void(TMainForm& form)> DeleteBy;
};

}  // namespace vdk
