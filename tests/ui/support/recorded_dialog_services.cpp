#include "support/recorded_dialog_services.h"

#include <QPushButton>

#include "ui/common/clipboard.h"
#include "ui/common/dialog_runner.h"
#include "ui/dialogs/folder_picker.h"

namespace vdk::test {

class DialogsStandIn : public TDialogRunner {
 public:
  explicit DialogsStandIn(RecordedDialogs& record) : record_(record) {}
  int Run(QDialog& dialog) override {
    record_.captions_.push_back(dialog.windowTitle());
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (!record_.answers_.empty()) {
      RecordedDialogs::TAnswer answer = std::move(record_.answers_.front());
      record_.answers_.pop_front();
      answer(dialog);
    }
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
  }

 private:
  RecordedDialogs& record_;
};

RecordedDialogs::RecordedDialogs() { SetDialogRunner(std::make_unique<DialogsStandIn>(*this)); }
RecordedDialogs::~RecordedDialogs() { SetDialogRunner(nullptr); }

RecordedDialogs::TAnswer RecordedDialogs::ClickOK() {
  return [](QDialog& dialog) {
    if (auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKButton")))
      ok->click();
    else
      dialog.accept();
  };
}

namespace {

class ClipboardStandIn : public TClipboard {
 public:
  explicit ClipboardStandIn(RecordedClipboard& record) : record_(record) {}
  QString Text() const override {
    ++record_.reads;
    return record_.text;
  }
  void SetText(const QString& text) override { record_.text = text; }

 private:
  RecordedClipboard& record_;
};

class HelpStandIn : public THelp {
 public:
  explicit HelpStandIn(RecordedHelp& record) : record_(record) {}
  void Show(QWidget*, THelpTopic topic) override { record_.topics.push_back(topic); }

 private:
  RecordedHelp& record_;
};

}  // namespace

RecordedClipboard::RecordedClipboard(QString initial) : text(std::move(initial)) {
  SetClipboard(std::make_unique<ClipboardStandIn>(*this));
}
RecordedClipboard::~RecordedClipboard() { SetClipboard(nullptr); }

class FolderPickerStandIn : public TFolderPicker {
 public:
  explicit FolderPickerStandIn(RecordedFolderPicker& record) : record_(record) {}
  std::optional<QString> Pick(QWidget*, const QString& title, const QString& start) override {
    record_.requests_.push_back({title, start});
    if (record_.answers_.empty()) return std::nullopt;
    const QString answer = record_.answers_.front();
    record_.answers_.pop_front();
    if (answer.isNull()) return std::nullopt;
    return answer;
  }

 private:
  RecordedFolderPicker& record_;
};

RecordedFolderPicker::RecordedFolderPicker() { SetFolderPicker(std::make_unique<FolderPickerStandIn>(*this)); }
RecordedFolderPicker::~RecordedFolderPicker() { SetFolderPicker(nullptr); }

RecordedHelp::RecordedHelp() { SetHelp(std::make_unique<HelpStandIn>(*this)); }
RecordedHelp::~RecordedHelp() { SetHelp(nullptr); }

}  // namespace vdk::test
