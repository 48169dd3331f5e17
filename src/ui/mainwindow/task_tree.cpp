#include "ui/mainwindow/task_tree.h"

#include <QTreeWidget>
#include <functional>

#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/pictures.h"

namespace vdk {
namespace {

enum Role { kPathRole = Qt::UserRole, kIconRole, kProblemRole };

// A folder's icon shows an open folder while it is selected.
QIcon FolderIcon() {
  const QIcon closed = ThemeIcon(QStringLiteral("folder"));
  const QIcon open = ThemeIcon(QStringLiteral("folder-open"));
  QIcon icon;
  for (const int size : {16, 22, 32}) {
    icon.addPixmap(closed.pixmap(size), QIcon::Normal);
    icon.addPixmap(open.pixmap(size), QIcon::Selected);
  }
  return icon;
}

const QIcon& IconAt(int index) {
  static const QIcon icons[] = {
      ThemeIcon(QStringLiteral("vendrake-root")),  ThemeIcon(QStringLiteral("folder-open")),
      ThemeIcon(QStringLiteral("text-x-generic")), ThemeIcon(QStringLiteral("vendrake-task-running")),
      ThemeIcon(QStringLiteral("vendrake-task")),  FolderIcon(),
  };
  return icons[index >= 0 && index < 6 ? index : kFileIcon];
}

const QIcon& UnreadableIcon() {
  static const QIcon icon = ThemeIcon(QStringLiteral("vendrake-task-broken"));
  return icon;
}

}  // namespace

TTaskTree::TTaskTree(QTreeWidget* view) : view_(view), root_(new QTreeWidgetItem(view)) {
  view_->setHeaderHidden(true);
  view_->setIndentation(19);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  root_->setText(0, QString::fromLatin1(kRootCaption));
  SetIcon(root_, kRootIcon);
}

QTreeWidgetItem* TTaskTree::Selected() const {
  const QList<QTreeWidgetItem*> selected = view_->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void TTaskTree::Select(QTreeWidgetItem* node) {
  view_->setCurrentItem(node);
  if (node != nullptr) node->setSelected(true);
}

std::string TTaskTree::PathOf(const QTreeWidgetItem* node) {
  return node == nullptr ? std::string() : node->data(0, kPathRole).toByteArray().toStdString();
}

int TTaskTree::IconOf(const QTreeWidgetItem* node) { return node == nullptr ? -1 : node->data(0, kIconRole).toInt(); }

QString TTaskTree::ProblemOf(const QTreeWidgetItem* node) {
  return node == nullptr ? QString() : node->data(0, kProblemRole).toString();
}

void TTaskTree::SetIcon(QTreeWidgetItem* node, int icon) {
  node->setData(0, kIconRole, icon);
  node->setIcon(0, ProblemOf(node).isEmpty() ? IconAt(icon) : UnreadableIcon());
}

void TTaskTree::ResetRoot(const std::string& projectPath) {
  root_->setData(0, kPathRole, QByteArray::fromStdString(projectPath));
  qDeleteAll(root_->takeChildren());
}

QTreeWidgetItem* TTaskTree::AddNode(QTreeWidgetItem* parent, const QString& caption, int icon,
                                    const std::string& path) {
  auto* node = new QTreeWidgetItem(parent);
  node->setText(0, caption);
  node->setData(0, kPathRole, QByteArray::fromStdString(path));
  SetIcon(node, icon);
  return node;
}

void TTaskTree::AddEntries(QTreeWidgetItem* parent, const std::vector<TProjectEntry>& entries) {
  for (const TProjectEntry& entry : entries) {
    auto* node = new QTreeWidgetItem(parent);
    node->setText(0, QString::fromUtf8(entry.Caption));
    node->setData(0, kPathRole, QByteArray::fromStdString(entry.Path));
    if (!entry.Problem.empty()) {
      node->setData(0, kProblemRole, QString::fromUtf8(entry.Problem));
      node->setToolTip(0, QString::fromUtf8(entry.Problem));
    }
    SetIcon(node, entry.Icon);
    AddEntries(node, entry.Children);
  }
}

void TTaskTree::RemoveNode(QTreeWidgetItem* node) {
  if (node != nullptr && node != root_) delete node;
}

void TTaskTree::MarkUnreadable(QTreeWidgetItem* node, const QString& reason) {
  node->setData(0, kProblemRole, reason);
  node->setToolTip(0, reason);
  SetIcon(node, kTaskIcon);
}

void TTaskTree::SetTaskIcon(QTreeWidgetItem* node, bool running) {
  const int icon = running ? kRunningTaskIcon : kTaskIcon;
  if (IconOf(node) != icon) SetIcon(node, icon);
}

std::vector<QTreeWidgetItem*> TTaskTree::Nodes() const {
  std::vector<QTreeWidgetItem*> nodes;
  const std::function<void(QTreeWidgetItem*)> visit = [&](QTreeWidgetItem* node) {
    nodes.push_back(node);
    for (int i = 0; i < node->childCount(); ++i) visit(node->child(i));
  };
  visit(root_);
  return nodes;
}

QTreeWidgetItem* TTaskTree::FindByCaption(const QString& caption) const {
  for (QTreeWidgetItem* node : Nodes())
    if (node->text(0) == caption) return node;
  return nullptr;
}

QTreeWidgetItem* TTaskTree::FindByPath(const std::string& path) const {
  for (QTreeWidgetItem* node : Nodes())
    if (PathOf(node) == path) return node;
  return nullptr;
}

}  // namespace vdk
