#include "ui/mainwindow/action_states.h"

namespace vdk {
namespace {

TSwitch On(bool on) { return on ? TSwitch::On : TSwitch::Off; }

}  // namespace

TActionStates DecideActions(TSelectedNode node, bool taskRunning, bool anyRunning) {
  TActionStates s;
  s.StopAll = anyRunning;
  switch (node) {
    case TSelectedNode::None:
      s.TasksDelete = TSwitch::Off;
      break;
    case TSelectedNode::Root:
    case TSelectedNode::Folder:
      s.TasksDelete = On(node == TSelectedNode::Folder);
      s.NewFolder = TSwitch::On;
      s.Properties = s.Run = s.Stop = TSwitch::Off;
      s.Restart = s.SaveURL = s.Collect = TSwitch::Off;
      s.Images = TImageActions::Disabled;
      s.Panel = TSwitch::Off;
      break;
    case TSelectedNode::Task:
      s.TasksDelete = On(!taskRunning);
      s.NewFolder = TSwitch::Off;
      s.Properties = s.Run = On(!taskRunning);
      s.Stop = On(taskRunning);
      s.Restart = s.SaveURL = s.Collect = TSwitch::On;
      s.Images = TImageActions::ByPanel;
      s.Panel = TSwitch::On;
      break;
    case TSelectedNode::File:
      s.TasksDelete = TSwitch::On;
      s.Properties = s.Run = s.Stop = TSwitch::Off;
      s.Restart = s.SaveURL = s.Collect = TSwitch::Off;
      s.Images = TImageActions::ByPanel;
      break;
  }
  return s;
}

}  // namespace vdk
