#pragma once

#include <QUrl>
#include <QWidget>
#include <memory>

#include "ui/dialogs/help.h"

namespace Ui {
class THelpWindow;
}

namespace vdk {

// The help window: the help pages of one folder in a browser with Back,
// Forward and Contents. Links between pages stay in the window; web and mail
// links open in the desktop's programs.
class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit THelpWindow(QString folder, QWidget* parent = nullptr);
  ~THelpWindow() override;

  // Shows the page of topic; false (and nothing changes) when the folder
  // lacks it.
  bool OpenTopic(THelpTopic topic);
  QUrl Source() const;

 private:
  void FollowLink(const QUrl& url);

  std::unique_ptr<Ui::THelpWindow> ui_;
  QString folder_;
};

}  // namespace vdk
