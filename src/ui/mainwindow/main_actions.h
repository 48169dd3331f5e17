#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include "ui/mainwindow/action_table.h"

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QWidget;

namespace vdk {

// The main window's actions, made from the action table: caption, shortcut,
// hint (status tip and tool tip), glyph, check state and the exclusive group
// of the four sort actions. Menus, tool bars and pop-up menus are built from
// the bar tables. The actions live on the owner window, so their shortcuts
// work wherever the focus is in it.
class TMainActions : public QObject {
  Q_OBJECT

 public:
  explicit TMainActions(QWidget* owner);

  // The action of that name; null when the table has none.
  QAction* Action(const QString& name) const { return actions_.value(name); }
  // Triggers the action; a disabled action does nothing.
  void Execute(const QString& name) const;
  QActionGroup* SortGroup() const { return sortGroup_; }

  // Fills the menu bar's menus, a tool bar or a pop-up menu from its table
  // entry (by the entry's name).
  void FillMenu(QMenu* menu, const char* barName) const;
  void FillToolBar(QToolBar* bar, const char* barName);

 private:
  QAction* MakeAction(const TActionSpec& spec, QWidget* owner);
  // The image tool bar shows the wallpaper action as "Set Wallpaper": a
  // stand-in that follows the real action's state and triggers it.
  QAction* CaptionedAlias(QAction* action, const QString& caption);

  QHash<QString, QAction*> actions_;
  QActionGroup* sortGroup_;
};

}  // namespace vdk
