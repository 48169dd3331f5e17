// The action table as the user meets it: every action's caption, category,
// shortcut and hint, and what the menus, tool bars and pop-up menus hold.

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "support/qt_printers.h"
#include "ui/mainwindow/action_table.h"
#include "ui/mainwindow/main_actions.h"

namespace vdk {
namespace {

struct Expected {
  const char* name;
  const char* category;
  const char* caption;
  const char* shortcut;
  const char* hint;
};

// The commands of the main window as the product describes them.
const Expected kExpected[] = {
    {"TasksNewAction", "Tasks", "New", "Ctrl+Ins", "Create a new task"},
    {"TasksNewFolderAction", "Tasks", "New Folder", "", "Create a new folder"},
    {"TasksImportAction", "Tasks", "&Import from Internet", "", "Download new tasks from internet"},
    {"TasksDeleteAction", "Tasks", "Delete", "Ctrl+Del", "Delete current task"},
    {"TasksPropAction", "Tasks", "Properties", "", "Properties of current task"},
    {"TasksRunAction", "Tasks", "Run", "Ctrl+R", "Run current task"},
    {"TasksStopAction", "Tasks", "Stop", "Ctrl+S", "Stop current task"},
    {"TasksCollectAction", "Tasks", "Collect", "",
     "Copy picture files to another directory that is in current selected task"},
    {"TasksSaveURLAction", "Tasks", "Save URL", "", "Save task URL"},
    {"TasksLibraryAction", "Tasks", "Library", "", "Open images library"},
    {"TasksRestartAction", "Tasks", "Restart", "", "Restart current selected action"},
    {"TasksStopAllAction", "Tasks", "Stop all", "", "Stop all running tasks"},
    {"TasksRefreshAction", "Tasks", "Refresh", "F5", "Refresh task folder"},
    {"TasksExitAction", "Tasks", "Exit", "", "Exit and return to system"},
    {"ImagesCopyToAction", "Images", "Copy to ...", "", "Copy selected images to a folder"},
    {"ImagesMoveToAction", "Images", "Move to ...", "", "Move selected images to a folder"},
    {"ImagesDeleteAction", "Images", "Delete", "Del", "Delete selected images"},
    {"ImagesDeleteAllAction", "Images", "Delete All", "", "Delete all downloaded images"},
    {"ImagesDeleteByAction", "Images", "Delete By ...", "", "Delete images by some conditions"},
    {"ImagesSetWallpaperAction", "Images", "Wall", "Ctrl+W", "Set current selected image to desktop"},
    {"ImagesOpenFolderAction", "Images", "Folder", "", "Open downloaded images folder of current task"},
    {"ImagesFitAction", "Images", "Zoom", "", "Fit image in page"},
    {"ImagesUnsortAction", "Images", "Unsort(&0)", "", "No any additional sort"},
    {"ImagesSortByNameAction", "Images", "Sort by name(&1)", "", "Sort images by filename"},
    {"ImagesSortByTypeAction", "Images", "Sort by type(&2)", "", "Sort images by file type"},
    {"ImagesSortBySizeAction", "Images", "Sort by size(&3)", "", "Sort images by file size"},
    {"ImagesBuildInAction", "Images", "Build-in", "", "Build-in these images in library"},
    {"ViewShowHideStdBarAction", "View", "Standard tool bar", "", "Show / hide standard tool bar"},
    {"ViewShowHideStateAction", "View", "State", "", "Show / hide state panel"},
    {"ViewShowAllFilesAction", "View", "Show All", "", "Show all files in tasks tree view"},
    {"ViewOptionAction", "View", "Options", "", "Show current options"},
    {"HelpTopicAction", "Help", "Help", "F1", "Help topic"},
    {"HelpTipAction", "Help", "&Tip of the day...", "", "Show tip of the day..."},
    {"HelpAboutAction", "Help", "About", "", "About Vendrake"},
    {"HelpVisitAction", "Help", "Visit our website", "", "Visit our site"},
};

// What a menu, tool bar or pop-up shows, "|" for a separator and "+" before
// a tool-bar button that shows its caption.
QStringList Shown(const QList<QAction*>& actions, const QWidget* bar = nullptr) {
  QStringList out;
  for (QAction* action : actions) {
    if (action->isSeparator()) {
      out << QStringLiteral("|");
      continue;
    }
    QString text = bar == nullptr ? action->text() : action->iconText();
    if (bar != nullptr) {
      auto* button = qobject_cast<QToolButton*>(static_cast<const QToolBar*>(bar)->widgetForAction(action));
      if (button && button->toolButtonStyle() == Qt::ToolButtonTextBesideIcon) text.prepend(QLatin1Char('+'));
    }
    out << text;
  }
  return out;
}

class ActionTableTest : public ::testing::Test {
 protected:
  QMainWindow window;
  TMainActions actions{&window};
};

TEST_F(ActionTableTest, EveryActionHasItsCaptionShortcutAndHint) {
  ASSERT_EQ(ActionTable().size(), std::size(kExpected));
  for (std::size_t i = 0; i < std::size(kExpected); ++i) {
    const Expected& e = kExpected[i];
    SCOPED_TRACE(e.name);
    EXPECT_STREQ(ActionTable()[i].Name, e.name);
    EXPECT_STREQ(ActionTable()[i].Category, e.category);
    QAction* action = actions.Action(QString::fromLatin1(e.name));
    ASSERT_NE(action, nullptr);
    const QString caption = std::string_view(e.name) == kWallpaperAction ? action->iconText() : action->text();
    EXPECT_EQ(caption, QString::fromLatin1(e.caption));
    EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(e.shortcut)));
    EXPECT_EQ(action->statusTip(), QString::fromLatin1(e.hint));
    EXPECT_EQ(action->toolTip(), QString::fromLatin1(e.hint));
    EXPECT_TRUE(window.actions().contains(action)) << "its shortcut works in the whole window";
  }
}

TEST_F(ActionTableTest, ToggleActionsAreCheckItemsAndTheSortsFormOneGroup) {
  for (const char* name :
       {"ViewShowHideStdBarAction", "ViewShowHideStateAction", "ViewShowAllFilesAction", "ImagesFitAction"})
    EXPECT_TRUE(actions.Action(QString::fromLatin1(name))->isCheckable()) << name;
  EXPECT_FALSE(actions.Action(QStringLiteral("TasksRunAction"))->isCheckable());
  EXPECT_EQ(actions.SortGroup()->actions().size(), 4);
  EXPECT_TRUE(actions.Action(QStringLiteral("ImagesUnsortAction"))->isChecked());
  actions.Action(QStringLiteral("ImagesSortBySizeAction"))->trigger();
  EXPECT_TRUE(actions.Action(QStringLiteral("ImagesSortBySizeAction"))->isChecked());
  EXPECT_FALSE(actions.Action(QStringLiteral("ImagesUnsortAction"))->isChecked());
  actions.Action(QStringLiteral("ImagesSortBySizeAction"))->trigger();
  EXPECT_TRUE(actions.Action(QStringLiteral("ImagesSortBySizeAction"))->isChecked()) << "exactly one stays checked";
}

TEST_F(ActionTableTest, MenusHoldTheirItemsInOrder) {
  const QStringList expected[] = {
      {"New",      "New Folder", "|",          "&Import from Internet",
       "|",        "Delete",     "Properties", "|",
       "Run",      "Stop",       "|",          "Collect",
       "Save URL", "Library",    "|",          "Restart",
       "Stop all", "|",          "Refresh",    "|",
       "Exit"},
      {"Copy to ...", "Move to ...", "|", "Delete", "Delete All", "Delete By ...", "|", "Set Wallpaper", "Folder", "|",
       "Zoom", "|", "Unsort(&0)", "Sort by name(&1)", "Sort by type(&2)", "Sort by size(&3)", "|", "Build-in"},
      {"Standard tool bar", "State", "|", "Show All", "|", "Options"},
      {"Help", "&Tip of the day...", "|", "About", "|", "Visit our website"},
  };
  const QStringList titles = {"Tasks", "Images", "View", "Help"};
  ASSERT_EQ(MenuTable().size(), 4u);
  for (int i = 0; i < 4; ++i) {
    QMenu menu;
    actions.FillMenu(&menu, MenuTable()[static_cast<std::size_t>(i)].Name);
    EXPECT_EQ(menu.title(), titles[i]);
    EXPECT_EQ(Shown(menu.actions()), expected[i]) << titles[i].toStdString();
  }
}

TEST_F(ActionTableTest, ToolBarsShowCaptionsWhereTheyShould) {
  QToolBar standard, images;
  actions.FillToolBar(&standard, "StandardToolBar");
  actions.FillToolBar(&images, "ImageToolBar");
  EXPECT_EQ(Shown(standard.actions(), &standard),
            (QStringList{"+New", "Delete", "|", "&Import from Internet", "|", "+Run", "Stop", "|", "+Collect",
                         "+Library", "|", "+Wall", "Folder", "+Zoom", "|", "Help"}));
  EXPECT_EQ(Shown(images.actions(), &images),
            (QStringList{"+Copy to ...", "Move to ...", "|", "Delete", "+Delete All", "+Delete By ...", "|",
                         "+Set Wallpaper", "Folder", "|", "+Zoom"}));
}

TEST_F(ActionTableTest, TheImageBarsWallpaperButtonFollowsAndTriggersTheAction) {
  QToolBar images;
  actions.FillToolBar(&images, "ImageToolBar");
  QAction* real = actions.Action(QStringLiteral("ImagesSetWallpaperAction"));
  QAction* shown = images.actions()[7];
  ASSERT_EQ(shown->text(), QStringLiteral("Set Wallpaper"));
  int triggered = 0;
  QObject::connect(real, &QAction::triggered, [&triggered] { ++triggered; });
  real->setEnabled(false);
  EXPECT_FALSE(shown->isEnabled());
  real->setEnabled(true);
  EXPECT_TRUE(shown->isEnabled());
  shown->trigger();
  EXPECT_EQ(triggered, 1);
}

TEST_F(ActionTableTest, PopUpMenusHoldTheirItems) {
  QMenu tree, images, tray;
  actions.FillMenu(&tree, "TasksTreePopupMenu");
  actions.FillMenu(&images, "ImagesPopupMenu");
  actions.FillMenu(&tray, "TrayPopupMenu");
  EXPECT_EQ(Shown(tree.actions()),
            (QStringList{"New", "New Folder", "|", "&Import from Internet", "|", "Delete", "Properties", "|", "Run",
                         "Stop", "|", "Collect", "Save URL", "|", "Restart", "Stop all", "|", "Refresh"}));
  EXPECT_EQ(Shown(images.actions()), (QStringList{"Copy to ...", "Move to ...", "|", "Delete", "Delete All",
                                                  "Delete By ...", "|", "Set Wallpaper", "Folder", "|", "Zoom"}));
  EXPECT_EQ(Shown(tray.actions()),
            (QStringList{"New", "Stop all", "|", "Collect", "Library", "|", "Options", "|", "Exit"}));
}

TEST_F(ActionTableTest, ADisabledActionDoesNothingWhenExecuted) {
  int runs = 0;
  QAction* run = actions.Action(QStringLiteral("TasksRunAction"));
  QObject::connect(run, &QAction::triggered, [&runs] { ++runs; });
  run->setEnabled(false);
  actions.Execute(QStringLiteral("TasksRunAction"));
  EXPECT_EQ(runs, 0);
  run->setEnabled(true);
  actions.Execute(QStringLiteral("TasksRunAction"));
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace vdk
