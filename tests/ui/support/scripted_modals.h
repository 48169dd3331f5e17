#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

class QDialog;

namespace vdk::test {

// For its lifetime, runs every modal dialog of the program through a script
// instead of a modal loop: each dialog gets the next queued script, which
// sets the controls as a user would and returns the dialog's result. A
// dialog with no script left is cancelled (Rejected). Records the object name
// of every dialog run.
class ScriptedModals {
 public:
  using Script = std::function<int(QDialog&)>;

  ScriptedModals();
  ~ScriptedModals();
  ScriptedModals(const ScriptedModals&) = delete;
  ScriptedModals& operator=(const ScriptedModals&) = delete;

  void Then(Script script) { scripts_.push_back(std::move(script)); }
  const std::vector<QString>& Shown() const { return shown_; }
  int Pending() const { return static_cast<int>(scripts_.size()); }
  // Runs the dialog through the next script (the installed runner's work).
  int RunNext(QDialog& dialog);

 private:
  std::deque<Script> scripts_;
  std::vector<QString> shown_;
};

}  // namespace vdk::test
