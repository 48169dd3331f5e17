#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>
#include <ostream>
#include <vector>

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace vdk::test {

// The child of a window with the given objectName; fails the test when there
// is none of that type.
template <typename T>
T* Child(const QWidget& window, const char* name) {
  T* child = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << "no " << name;
  return child;
}

// Shows the window and makes it the active one, as keys need.
inline void ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

inline void Click(const QWidget& window, const char* button) { Child<QAbstractButton>(window, button)->click(); }

// The rows of a flat list, one text list per row.
inline std::vector<QStringList> ListRows(const QWidget& window, const char* list) {
  std::vector<QStringList> rows;
  const QTreeWidget* tree = Child<QTreeWidget>(window, list);
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    QStringList row;
    for (int c = 0; c < tree->columnCount(); ++c) row << tree->topLevelItem(i)->text(c);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace vdk::test
