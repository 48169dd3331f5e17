#include "ui/mainwindow/main_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <cstring>

#include "ui/mainwindow/pictures.h"

namespace vdk {
namespace {

const TBarSpec* FindBar(const char* name) {
  for (const auto& table : {MenuTable(), BarTable()})
    for (const TBarSpec& bar : table)
      if (std::strcmp(bar.Name, name) == 0) return &bar;
  return nullptr;
}

}  // namespace

TMainActions::TMainActions(QWidget* owner) : QObject(owner), sortGroup_(new QActionGroup(this)) {
  sortGroup_->setExclusive(true);
  for (const TActionSpec& spec : ActionTable())
    actions_.insert(QString::fromLatin1(spec.Name), MakeAction(spec, owner));
  Action(QStringLiteral("ImagesUnsortAction"))->setChecked(true);
}

QAction* TMainActions::MakeAction(const TActionSpec& spec, QWidget* owner) {
  auto* action = new QAction(owner);
  action->setObjectName(QString::fromLatin1(spec.Name));
  action->setText(QString::fromLatin1(spec.Caption));
  // Tool-bar buttons show the caption as it is ("Copy to ..."), not cut short.
  action->setIconText(action->text());
  const QString hint = QString::fromLatin1(spec.Hint);
  action->setStatusTip(hint);
  action->setToolTip(hint);
  if (*spec.Shortcut != '\0') action->setShortcut(QKeySequence(QString::fromLatin1(spec.Shortcut)));
  action->setIcon(ThemeIcon(QString::fromLatin1(spec.Icon)));
  if (spec.Kind != TActionKind::Command) action->setCheckable(true);
  if (spec.Kind == TActionKind::Sort) sortGroup_->addAction(action);
  if (std::strcmp(spec.Name, kWallpaperAction) == 0) {
    // "Wall" on the standard tool bar, "Set Wallpaper" in the menus.
    action->setIconText(action->text());
    action->setText(QString::fromLatin1(kWallpaperMenuCaption));
  }
  owner->addAction(action);
  return action;
}

void TMainActions::Execute(const QString& name) const {
  if (QAction* action = Action(name)) action->trigger();
}

void TMainActions::FillMenu(QMenu* menu, const char* barName) const {
  const TBarSpec* bar = FindBar(barName);
  if (bar == nullptr) return;
  menu->setObjectName(QString::fromLatin1(bar->Name));
  if (*bar->Title != '\0') menu->setTitle(QString::fromLatin1(bar->Title));
  for (const TBarItem& item : bar->Items) {
    if (item.IsSeparator())
      menu->addSeparator();
    else
      menu->addAction(Action(QString::fromLatin1(item.Action)));
  }
}

void TMainActions::FillToolBar(QToolBar* toolBar, const char* barName) {
  const TBarSpec* bar = FindBar(barName);
  if (bar == nullptr) return;
  toolBar->setObjectName(QString::fromLatin1(bar->Name));
  toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  const bool imageBar = std::strcmp(barName, "ImageToolBar") == 0;
  for (const TBarItem& item : bar->Items) {
    if (item.IsSeparator()) {
      toolBar->addSeparator();
      continue;
    }
    QAction* action = Action(QString::fromLatin1(item.Action));
    if (imageBar && std::strcmp(item.Action, kWallpaperAction) == 0)
      action = CaptionedAlias(action, QString::fromLatin1(kWallpaperMenuCaption));
    toolBar->addAction(action);
    if (auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action)); button && item.WithCaption)
      button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  }
}

QAction* TMainActions::CaptionedAlias(QAction* action, const QString& caption) {
  auto* alias = new QAction(action->icon(), caption, this);
  alias->setObjectName(action->objectName() + QStringLiteral("Alias"));
  alias->setStatusTip(action->statusTip());
  alias->setToolTip(action->toolTip());
  const auto follow = [alias, action] {
    alias->setEnabled(action->isEnabled());
    alias->setVisible(action->isVisible());
  };
  follow();
  connect(action, &QAction::changed, alias, follow);
  connect(alias, &QAction::triggered, action, [action] { action->trigger(); });
  return alias;
}

}  // namespace vdk
