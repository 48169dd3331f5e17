#include "ui/mainwindow/task_tree_import_target.h"

#include <QTreeWidgetItem>

#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/task_tree.h"

namespace vdk {
namespace {

// A folder node's path as the import names folders: without a trailing "/"
// (the root's path keeps one).
std::string FolderPathOf(const QTreeWidgetItem* node) {
  std::string path = TTaskTree::PathOf(node);
  while (path.size() > 1 && path.ends_with('/')) path.pop_back();
  return path;
}

}  // namespace

std::optional<std::string> TTaskTreeImportTarget::FindCategory(const std::string& category) {
  const QString caption = QString::fromUtf8(category);
  for (QTreeWidgetItem* node : form_.Tree().Nodes()) {
    if (node->text(0) != caption) continue;
    const int icon = TTaskTree::IconOf(node);
    if (IsFolderNode(icon)) return FolderPathOf(node);
    if (IsTaskNode(icon) && node->parent() != nullptr) return FolderPathOf(node->parent());
  }
  return std::nullopt;
}

std::string TTaskTreeImportTarget::CreateCategory(const std::string& category) {
  TTaskTree& tree = form_.Tree();
  if (QTreeWidgetItem* node = form_.CreateFolderNode(tree.Root(), category)) return FolderPathOf(node);
  // Something that is not a folder is in the way: the task file cannot be
  // written there, and the tree gains no node for it.
  return FolderPathOf(tree.Root()) + "/" + category;
}

void TTaskTreeImportTarget::TaskFileCreated(const std::string& folder, const std::string& name,
                                            const std::string& path) {
  QTreeWidgetItem* parent = FolderNode(folder);
  if (parent == nullptr) return;  // not shown; Refresh finds it
  form_.Tree().AddNode(parent, QString::fromUtf8(name), kTaskIcon, path);
  parent->setExpanded(true);
}

QTreeWidgetItem* TTaskTreeImportTarget::FolderNode(const std::string& folder) const {
  for (QTreeWidgetItem* node : form_.Tree().Nodes())
    if (IsFolderNode(TTaskTree::IconOf(node)) && FolderPathOf(node) == folder) return node;
  return nullptr;
}

}  // namespace vdk
