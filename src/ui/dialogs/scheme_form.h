#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/base/ole_date.h"
#include "core/model/reg_options.h"

namespace Ui {
class TSchemeForm;
}

namespace vdk {

// The schedule dialog: the start time and date of a schedule (or "Start on
// now") and its count of units. The caller fills it from a schedule, and
// stores it back on OK.
class TSchemeForm : public QDialog {
  Q_OBJECT

 public:
  using TClock = std::function<TDateTime()>;

  // clock gives the date and time that "Start on now" writes (the local clock
  // in the program, a fixed one in tests).
  explicit TSchemeForm(QWidget* parent = nullptr, TClock clock = Now);
  ~TSchemeForm() override;

  // Shows typeName (the name in the caller's drop-down) with its unit word,
  // the count and the start of scheme; "Start on now" is checked when the
  // schedule has no start date yet.
  void Fill(const TRegScheme& scheme, const QString& typeName);
  // The count, and the start date and time read from their edits (0 for a
  // text that is not a date or a time). The type is the caller's.
  void Store(TRegScheme& scheme) const;

  // While "Start on now" is checked: writes the clock's time and date into
  // the edits. Runs every second.
  void ShowNow();

 private:
  void UpdateStartOnNow();

  std::unique_ptr<Ui::TSchemeForm> ui_;
  TClock clock_;
  QTimer nowTimer_;
};

}  // namespace vdk
