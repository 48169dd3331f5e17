#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class TLoadingForm;
}

namespace vdk {

// The splash window of the start-up: borderless, on top, centred. It closes
// itself when its 2000 ms timer fires (once the event loop runs) or when its
// picture is clicked, and frees itself when closed.
class TLoadingForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kShowMilliseconds = 2000;

  explicit TLoadingForm(QWidget* parent = nullptr);
  ~TLoadingForm() override;

  // Shows the window and paints it at once.
  void ShowNow();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::TLoadingForm> ui_;
  QTimer timer_;
};

// The small print shared by the splash and the About box: the notice line, the
// rights, the visit line and the addresses.
void SetSmallFont(QWidget* widget);

}  // namespace vdk
