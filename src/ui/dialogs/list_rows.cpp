#include "ui/dialogs/list_rows.h"

#include <QTreeWidget>

namespace vdk {

void AddRow(QTreeWidget& list, const QStringList& texts) { list.addTopLevelItem(new QTreeWidgetItem(texts)); }

void DeleteCurrentRow(QTreeWidget& list) {
  const QList<QTreeWidgetItem*> selected = list.selectedItems();
  if (!selected.isEmpty()) delete selected.first();
}

std::vector<QStringList> Rows(const QTreeWidget& list) {
  std::vector<QStringList> rows;
  for (int i = 0; i < list.topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list.topLevelItem(i);
    QStringList texts;
    for (int c = 0; c < list.columnCount(); ++c) texts << item->text(c);
    rows.push_back(texts);
  }
  return rows;
}

}  // namespace vdk
