#include "support/scripted_modals.h"

#include <QDialog>

#include "ui/common/dialog_runner.h"

namespace vdk::test {
namespace {

class ScriptRunner : public TDialogRunner {
 public:
  explicit ScriptRunner(ScriptedModals& modals) : modals_(modals) {}
  int Run(QDialog& dialog) override { return modals_.RunNext(dialog); }

 private:
  ScriptedModals& modals_;
};

}  // namespace

ScriptedModals::ScriptedModals() { SetDialogRunner(std::make_unique<ScriptRunner>(*this)); }

ScriptedModals::~ScriptedModals() { SetDialogRunner(nullptr); }

int ScriptedModals::RunNext(QDialog& dialog) {
  shown_.push_back(dialog.objectName());
  if (scripts_.empty()) return static_cast<int>(QDialog::Rejected);
  Script script = std::move(scripts_.front());
  scripts_.pop_front();
  return script(dialog);
}

}  // namespace vdk::test
