#pragma once

#include <QGroupBox>
#include <memory>

#include "core/model/reg_options.h"

namespace Ui {
class TSchemeBox;
}

namespace vdk {

class TSchemeForm;

// "Scheme settings :" of the Options and Task dialogs: the type drop-down,
// the description of the schedule and "&Change", which opens the schedule
// dialog. Edits a private copy of a schedule that the owner stores only when
// its dialog is confirmed.
class TSchemeBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit TSchemeBox(QWidget* parent = nullptr);
  ~TSchemeBox() override;

  void Fill(const TRegScheme& scheme);
  void Store(TRegScheme& scheme) const { scheme = schedule_; }

  // The drop-down's handler: the type becomes the chosen index, "&Change" is
  // enabled unless it is "None", and the description is written afresh. The
  // dialogs run it once when they are shown.
  void TypeChanged();

 private:
  void Change();

  std::unique_ptr<Ui::TSchemeBox> ui_;
  TRegScheme schedule_;
};

}  // namespace vdk
