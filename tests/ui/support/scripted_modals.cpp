#include "support/scripted_modals.h"

#include <QDialog>

#include "ui/common/modal.h"

namespace vdk::test {

ScriptedModals::ScriptedModals() {
  SetModalRunner([this](QDialog& dialog) {
    shown_.push_back(dialog.objectName());
    if (scripts_.empty()) return static_cast<int>(QDialog::Rejected);
    Script script = std::move(scripts_.front());
    scripts_.pop_front();
    return script(dialog);
  });
}

ScriptedModals::~ScriptedModals() { SetModalRunner(nullptr); }

}  // namespace vdk::test
