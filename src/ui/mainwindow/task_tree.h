#pragma once

#include <QString>
#include <string>
#include <vector>

#include "ui/mainwindow/project_folder.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace vdk {

// The task tree's nodes over the tree widget: each node has a caption, an
// icon index that tells its kind (node_kinds.h), the full path of what it
// stands for and, for a task file that cannot be read, the reason. A folder
// shows icon 5, and icon 1 while it is selected. Used on the GUI thread only.
class TTaskTree {
 public:
  static constexpr const char* kRootCaption = "All Tasks";

  explicit TTaskTree(QTreeWidget* view);

  QTreeWidget* View() const { return view_; }
  QTreeWidgetItem* Root() const { return root_; }
  // The selected node, or null.
  QTreeWidgetItem* Selected() const;
  void Select(QTreeWidgetItem* node);

  static std::string PathOf(const QTreeWidgetItem* node);
  static int IconOf(const QTreeWidgetItem* node);
  // Why a task file cannot be read; empty for every other node.
  static QString ProblemOf(const QTreeWidgetItem* node);

  // Sets the root's path and removes every node below it.
  void ResetRoot(const std::string& projectPath);
  // A child node at the end of the parent's children.
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& caption, int icon, const std::string& path);
  // Adds the scanned entries under the parent, recursively.
  void AddEntries(QTreeWidgetItem* parent, const std::vector<TProjectEntry>& entries);
  // Removes the node and everything below it.
  void RemoveNode(QTreeWidgetItem* node);

  // A task file found unreadable after the tree was built.
  void MarkUnreadable(QTreeWidgetItem* node, const QString& reason);
  // Icon 3 (running) or 4 on a task node.
  void SetTaskIcon(QTreeWidgetItem* node, bool running);

  // Every node in index order (the root first, each node before its children).
  std::vector<QTreeWidgetItem*> Nodes() const;
  // The first node in index order with exactly that caption, or null.
  QTreeWidgetItem* FindByCaption(const QString& caption) const;
  // The first node with that path, or null.
  QTreeWidgetItem* FindByPath(const std::string& path) const;

 private:
  static void SetIcon(QTreeWidgetItem* node, int icon);

  QTreeWidget* view_;
  QTreeWidgetItem* root_;
};

}  // namespace vdk
