#include "support/recorded_services.h"

#include <gtest/gtest.h>

#include <utility>

#include "ui/common/message_boxes.h"
#include "ui/common/shell.h"

namespace vdk::test {

class BoxesStandIn : public TMessageBoxes {
 public:
  explicit BoxesStandIn(RecordedBoxes& record) : record_(record) {}
  QMessageBox::StandardButton Show(QWidget*, QMessageBox::Icon icon, const QString& caption, const QString& text,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton) override {
    record_.shown_.push_back({icon, caption, text, buttons});
    if (record_.whileNextShown) std::exchange(record_.whileNextShown, nullptr)();
    if (record_.answers_.empty()) return defaultButton;
    QMessageBox::StandardButton answer = record_.answers_.front();
    record_.answers_.pop_front();
    return answer;
  }

 private:
  RecordedBoxes& record_;
};

RecordedBoxes::RecordedBoxes() { SetMessageBoxes(std::make_unique<BoxesStandIn>(*this)); }
RecordedBoxes::~RecordedBoxes() { SetMessageBoxes(nullptr); }

const ShownBox& RecordedBoxes::Last() const {
  static const ShownBox none{QMessageBox::NoIcon, {}, {}, {}};
  EXPECT_FALSE(shown_.empty()) << "no message box was shown";
  return shown_.empty() ? none : shown_.back();
}

class ShellStandIn : public TShell {
 public:
  explicit ShellStandIn(RecordedShell& record) : record_(record) {}
  bool Open(const QUrl& url) override {
    record_.opened_.push_back(url);
    return true;
  }

 private:
  RecordedShell& record_;
};

RecordedShell::RecordedShell() { SetShell(std::make_unique<ShellStandIn>(*this)); }
RecordedShell::~RecordedShell() { SetShell(nullptr); }

}  // namespace vdk::test
