#pragma once

#include <QWidget>
#include <initializer_list>

namespace vdk {

// Enables or disables a check box's dependent controls together.
inline void EnableControls(std::initializer_list<QWidget*> controls, bool enabled) {
  for (QWidget* control : controls) control->setEnabled(enabled);
}

}  // namespace vdk
