#include "ui/common/message_boxes.h"

namespace vdk {
namespace {

class TQtMessageBoxes : public TMessageBoxes {
 public:
  QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton) override {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
  }
};

std::unique_ptr<TMessageBoxes>& Current() {
  static std::unique_ptr<TMessageBoxes> boxes = std::make_unique<TQtMessageBoxes>();
  return boxes;
}

QMessageBox::StandardButton DefaultOf(QMessageBox::StandardButtons buttons) {
  for (auto b : {QMessageBox::Yes, QMessageBox::Ok})
    if (buttons.testFlag(b)) return b;
  return QMessageBox::NoButton;
}

}  // namespace

TMessageBoxes& MessageBoxes() { return *Current(); }

std::unique_ptr<TMessageBoxes> SetMessageBoxes(std::unique_ptr<TMessageBoxes> boxes) {
  std::unique_ptr<TMessageBoxes> previous = std::move(Current());
  Current() = boxes ? std::move(boxes) : std::make_unique<TQtMessageBoxes>();
  return previous;
}

void ShowError(QWidget* parent, const QString& text) {
  MessageBoxes().Show(parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowInformation(QWidget* parent, const QString& text) {
  MessageBoxes().Show(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok,
                      QMessageBox::Ok);
}

bool AskConfirm(QWidget* parent, const QString& text) {
  return MessageBoxes().Show(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

QMessageBox::StandardButton AskQuestion(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons) {
  return MessageBoxes().Show(parent, QMessageBox::Question, QStringLiteral("Question"), text, buttons,
                             DefaultOf(buttons));
}

void ShowWait(QWidget* parent, const QString& text) {
  MessageBoxes().Show(parent, QMessageBox::Warning, QStringLiteral("Wait"), text, QMessageBox::Ok, QMessageBox::Ok);
}

}  // namespace vdk
