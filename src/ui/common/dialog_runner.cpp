#include "ui/common/dialog_runner.h"

#include <QDialog>

namespace vdk {
namespace {

class TModalRunner : public TDialogRunner {
 public:
  int Run(QDialog& dialog) override { return dialog.exec(); }
};

std::unique_ptr<TDialogRunner>& Current() {
  static std::unique_ptr<TDialogRunner> runner = std::make_unique<TModalRunner>();
  return runner;
}

}  // namespace

TDialogRunner& DialogRunner() { return *Current(); }

std::unique_ptr<TDialogRunner> SetDialogRunner(std::unique_ptr<TDialogRunner> runner) {
  std::unique_ptr<TDialogRunner> previous = std::move(Current());
  Current() = runner ? std::move(runner) : std::make_unique<TModalRunner>();
  return previous;
}

int RunDialog(QDialog& dialog) { return DialogRunner().Run(dialog); }

}  // namespace vdk
