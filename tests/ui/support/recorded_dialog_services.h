#pragma once

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/desktop/shutdown.h"
#include "ui/dialogs/help.h"

namespace vdk::test {

// For its lifetime, stands in for RunDialog: each dialog is shown without a
// modal loop, the next queued answer works on it as a user would (fills
// fields, clicks buttons), and its result is returned. A dialog that is still
// open after its answer, or that has no answer, is rejected, so a test never
// waits on a modal loop. Records every dialog's caption.
class RecordedDialogs {
 public:
  using TAnswer = std::function<void(QDialog&)>;

  RecordedDialogs();
  ~RecordedDialogs();
  RecordedDialogs(const RecordedDialogs&) = delete;
  RecordedDialogs& operator=(const RecordedDialogs&) = delete;

  void Answer(TAnswer answer) { answers_.push_back(std::move(answer)); }
  // An answer that clicks the dialog's OKButton (or accepts it when it has none).
  static TAnswer ClickOK();
  const std::vector<QString>& Captions() const { return captions_; }

 private:
  friend class DialogsStandIn;
  std::deque<TAnswer> answers_;
  std::vector<QString> captions_;
};

// For its lifetime, stands in for the desktop's clipboard with a text of its
// own; the user's clipboard is neither read nor changed.
class RecordedClipboard {
 public:
  explicit RecordedClipboard(QString text = {});
  ~RecordedClipboard();
  RecordedClipboard(const RecordedClipboard&) = delete;
  RecordedClipboard& operator=(const RecordedClipboard&) = delete;

  QString text;
  int reads = 0;
};

// For its lifetime, stands in for the folder chooser: records each request
// and answers it with the next queued folder (none: cancelled).
class RecordedFolderPicker {
 public:
  struct Request {
    QString title;
    QString start;
  };

  RecordedFolderPicker();
  ~RecordedFolderPicker();
  RecordedFolderPicker(const RecordedFolderPicker&) = delete;
  RecordedFolderPicker& operator=(const RecordedFolderPicker&) = delete;

  // A cancelled pick is kept as a null text.
  void Answer(const std::optional<QString>& folder) { answers_.push_back(folder.value_or(QString())); }
  const std::vector<Request>& Requests() const { return requests_; }

 private:
  friend class FolderPickerStandIn;
  std::deque<QString> answers_;
  std::vector<Request> requests_;
};

// For its lifetime, stands in for the help window: records the topics asked
// for and opens nothing.
class RecordedHelp {
 public:
  RecordedHelp();
  ~RecordedHelp();
  RecordedHelp(const RecordedHelp&) = delete;
  RecordedHelp& operator=(const RecordedHelp&) = delete;

  std::vector<THelpTopic> topics;
};

// A shutdown that records its requests and never touches the machine.
class RecordedShutdown : public TShutdown {
 public:
  TShutdownResult PowerOff() override {
    ++requests;
    if (onPowerOff) onPowerOff();
    return result;
  }

  int requests = 0;
  TShutdownResult result{true, {}};
  std::function<void()> onPowerOff;
};

}  // namespace vdk::test
