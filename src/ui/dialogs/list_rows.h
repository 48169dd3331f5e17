#pragma once

#include <QStringList>
#include <vector>

class QTreeWidget;

namespace vdk {

// The small editable lists of the dialogs (extensions, excluded names) are
// flat QTreeWidgets: one row per entry, one text per column.

void AddRow(QTreeWidget& list, const QStringList& texts);
// Removes the selected row, if any.
void DeleteCurrentRow(QTreeWidget& list);
std::vector<QStringList> Rows(const QTreeWidget& list);

}  // namespace vdk
