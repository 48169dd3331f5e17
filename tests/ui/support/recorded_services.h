#pragma once

#include <QMessageBox>
#include <QString>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

namespace vdk::test {

struct ShownBox {
  QMessageBox::Icon icon;
  QString caption;
  QString text;
  QMessageBox::StandardButtons buttons;
};

// For its lifetime, stands in for the program's message boxes: records every
// box and answers it with the next queued button, or with the box's default
// button when none is queued. No modal loop ever runs.
class RecordedBoxes {
 public:
  RecordedBoxes();
  ~RecordedBoxes();
  RecordedBoxes(const RecordedBoxes&) = delete;
  RecordedBoxes& operator=(const RecordedBoxes&) = delete;

  void Answer(QMessageBox::StandardButton button) { answers_.push_back(button); }
  // Runs once while the next box is open, as a timer of the program would.
  std::function<void()> whileNextShown;
  const std::vector<ShownBox>& Shown() const { return shown_; }
  // The last box shown; fails the test when there was none.
  const ShownBox& Last() const;

 private:
  friend class BoxesStandIn;
  std::deque<QMessageBox::StandardButton> answers_;
  std::vector<ShownBox> shown_;
};

// For its lifetime, stands in for the desktop's shell: records every address
// it is asked to open and opens nothing.
class RecordedShell {
 public:
  RecordedShell();
  ~RecordedShell();
  RecordedShell(const RecordedShell&) = delete;
  RecordedShell& operator=(const RecordedShell&) = delete;

  const std::vector<QUrl>& Opened() const { return opened_; }

 private:
  friend class ShellStandIn;
  std::vector<QUrl> opened_;
};

}  // namespace vdk::test
