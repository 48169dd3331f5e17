#include "support/scripted_dialogs.h"

#include <QDialog>

#include "ui/common/modal.h"

namespace vdk::test {

ScriptedDialogs::ScriptedDialogs() {
  SetModalRunner([this](QDialog& dialog) {
    shown_.push_back(dialog.objectName());
    if (scripts_.empty()) return static_cast<int>(QDialog::Rejected);
    Script script = std::move(scripts_.front());
    scripts_.pop_front();
    return script(dialog);
  });
}

ScriptedDialogs::~ScriptedDialogs() { SetModalRunner(nullptr); }

}  // namespace vdk::test
