#pragma once

#include <QString>

class QWidget;

namespace vdk {

// Makes sure a folder typed into a dialog can be used: not empty, no longer
// than a task file's text field, and existing (created here with its missing
// parents). Otherwise an Error box says what is wrong and the result is false.
bool EnsureFolder(QWidget* parent, const QString& folder);

}  // namespace vdk
