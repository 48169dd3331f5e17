#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "core/model/reg_options.h"

class QWidget;

namespace vdk {

class TMainForm;

// What the Task dialog edits: a copy of a task's own fields, so that nothing
// reaches the task before the window has checked again that it may change it.
struct TTaskFields {
  std::string Name;
  std::string Note;
  std::string URL;
  TRegOptions Options;
};

// The windows that other parts of the program contribute to the main window.
// An action whose hook is not set stays disabled.
struct TMainFormHooks {
  // "New": the Task dialog filled from the default options (and, for a
  // browser request, the URL, with the clipboard not read). Returns the new
  // task's fields, or nothing when cancelled. The window gives the task its
  // id, file and node.
  std::function<std::optional<TTaskFields>(QWidget* parent, const TRegOptions& defaults, const std::string& browserURL)>
      NewTask;
  // "Properties": the Task dialog on a copy of the task's fields; true on OK.
  std::function<bool(QWidget* parent, TTaskFields& fields)> EditTask;
  // "Options": the Options dialog on the default options; confirmed changes
  // go into the record (they reach the store at Exit).
  std::function<void(QWidget* parent, TRegOptions& defaults)> EditOptions;
  // "Help" (F1): the help window at the main window's topic.
  std::function<void(QWidget* parent)> ShowHelp;
  // After the last running task finished with AutoShutDown on: the shutdown
  // countdown; on its OK the hook runs the window's Exit sequence
  // (TMainForm::ExitSequence) and then asks the system to power off.
  std::function<void(TMainForm& form)> OfferShutdown;
  // "&Import from Internet": the import dialog, which files each picked
  // project through TMainForm::ImportProject.
  std::function<void(TMainForm& form)> Import;
  // "Collect", "Library", "Delete By ...": the tools of the image library.
  std::function<void(TMainForm& form)> Collect;
  std::function<void(TMainForm& form)> Library;
  std::function<void(TMainForm& form)> DeleteBy;
};

}  // namespace vdk
