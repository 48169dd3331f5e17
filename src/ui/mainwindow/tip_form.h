#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class TTipForm;
}

namespace vdk {

// The seven tips, in order.
const QStringList& Tips();
// The index ShowTipAt shows for i: i itself, or 0 when i is negative or past
// the last tip.
int WrapTipIndex(int i, int count);

// The tip of the day. It opens at the tip after the one shown last
// (TipIndex + 1) and cycles; "&Close" and Escape close it with OK.
class TTipForm : public QDialog {
  Q_OBJECT

 public:
  explicit TTipForm(QWidget* parent = nullptr);
  ~TTipForm() override;

  // Shows tip i (wrapped) and makes it the current one.
  void ShowTipAt(int i);
  int CurrentTip() const { return currentTip_; }
  // "Do not show tips at startup".
  bool DoNotShow() const;
  void SetDoNotShow(bool on);

 private:
  std::unique_ptr<Ui::TTipForm> ui_;
  int currentTip_ = 0;
};

}  // namespace vdk
