#include "ui/common/modal.h"

#include <QDialog>

namespace vdk {
namespace {

TModalRunner& Current() {
  static TModalRunner runner;
  return runner;
}

}  // namespace

int ExecModal(QDialog& dialog) { return Current() ? Current()(dialog) : dialog.exec(); }

TModalRunner SetModalRunner(TModalRunner runner) {
  TModalRunner previous = std::move(Current());
  Current() = std::move(runner);
  return previous;
}

}  // namespace vdk
