// The enabling rule of the main window over the node kinds and run states.

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "ui/mainwindow/action_states.h"

namespace vdk {
namespace {

constexpr TSwitch U = TSwitch::Unchanged, Off = TSwitch::Off, On = TSwitch::On;

struct Row {
  const char* what;
  TSelectedNode node;
  bool taskRunning;
  // Delete, New Folder, Properties, Run, Stop, Restart/Save URL/Collect, panel
  TSwitch del, newFolder, properties, run, stop, restart, panel;
  TImageActions images;
};

const Row kRows[] = {
    {"nothing selected", TSelectedNode::None, false, Off, U, U, U, U, U, U, TImageActions::Unchanged},
    {"the root", TSelectedNode::Root, false, Off, On, Off, Off, Off, Off, Off, TImageActions::Disabled},
    {"a folder", TSelectedNode::Folder, false, On, On, Off, Off, Off, Off, Off, TImageActions::Disabled},
    {"an idle task", TSelectedNode::Task, false, On, Off, On, On, Off, On, On, TImageActions::ByPanel},
    {"a running task", TSelectedNode::Task, true, Off, Off, Off, Off, On, On, On, TImageActions::ByPanel},
    {"another file", TSelectedNode::File, false, On, U, Off, Off, Off, Off, U, TImageActions::ByPanel},
};

TEST(ActionStates, EachNodeKindAndRunState) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.what);
    const TActionStates s = DecideActions(row.node, row.taskRunning, false);
    EXPECT_EQ(s.TasksDelete, row.del);
    EXPECT_EQ(s.NewFolder, row.newFolder);
    EXPECT_EQ(s.Properties, row.properties);
    EXPECT_EQ(s.Run, row.run);
    EXPECT_EQ(s.Stop, row.stop);
    EXPECT_EQ(s.Restart, row.restart);
    EXPECT_EQ(s.SaveURL, row.restart);
    EXPECT_EQ(s.Collect, row.restart);
    EXPECT_EQ(s.Panel, row.panel);
    EXPECT_EQ(s.Images, row.images);
  }
}

TEST(ActionStates, StopAllFollowsWhetherAnyTaskRuns) {
  for (const Row& row : kRows) {
    EXPECT_FALSE(DecideActions(row.node, row.taskRunning, false).StopAll) << row.what;
    EXPECT_TRUE(DecideActions(row.node, row.taskRunning, true).StopAll) << row.what;
  }
}

}  // namespace
}  // namespace vdk
