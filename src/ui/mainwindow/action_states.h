#pragma once

namespace vdk {

// What the selected tree node is, for the enabling rule.
enum class TSelectedNode {
  None,    // nothing selected
  Root,    // "All Tasks"
  Folder,  // another folder
  Task,    // a task node whose task could be loaded
  File,    // any other file, or a task file that cannot be read
};

// What the rule does with one action or the panel.
enum class TSwitch { Unchanged, Off, On };

// What the image actions do: keep their state, all off, or follow the
// downloaded-files panel's own rule after it has listed the task's folder.
enum class TImageActions { Unchanged, Disabled, ByPanel };

// The enabling rule of the main window's actions for one selection. Actions
// it does not name keep their state ("New", "Refresh", "Import from
// Internet", "Library", "Options", "Exit", the view and help actions are
// always enabled).
struct TActionStates {
  TSwitch TasksDelete = TSwitch::Unchanged;
  TSwitch NewFolder = TSwitch::Unchanged;
  TSwitch Properties = TSwitch::Unchanged;
  TSwitch Run = TSwitch::Unchanged;
  TSwitch Stop = TSwitch::Unchanged;
  TSwitch Restart = TSwitch::Unchanged;
  TSwitch SaveURL = TSwitch::Unchanged;
  TSwitch Collect = TSwitch::Unchanged;
  TImageActions Images = TImageActions::Unchanged;
  TSwitch Panel = TSwitch::Unchanged;  // the downloaded-files panel shown or hidden
  bool StopAll = false;

  bool operator==(const TActionStates&) const = default;
};

// taskRunning: the selected task runs; anyRunning: some task of the list runs.
TActionStates DecideActions(TSelectedNode node, bool taskRunning, bool anyRunning);

}  // namespace vdk
