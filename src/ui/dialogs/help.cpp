#include "ui/dialogs/help.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QShortcut>
#include <QStandardPaths>

#include "ui/common/message_boxes.h"
#include "ui/dialogs/help_window.h"

namespace vdk {
namespace {

bool HoldsHelp(const QString& folder) {
  return !folder.isEmpty() && QFileInfo(QDir(folder).filePath(HelpPageOf(THelpTopic::Contents))).isFile();
}

// The window that owns the help window: a modal dialog that is open blocks
// every window but its own children, so the help of a dialog belongs to it.
QWidget* HelpOwner(QWidget* parent) {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return parent ? parent->window() : nullptr;
}

class TWindowHelp : public THelp {
 public:
  void Show(QWidget* parent, THelpTopic topic) override {
    const QString folder = HelpFolder();
    if (folder.isEmpty()) {
      ShowError(parent, QStringLiteral("The help pages are not installed!\nThe help cannot be displayed."));
      return;
    }
    QWidget* owner = HelpOwner(parent);
    if (!window_) {
      window_ = new THelpWindow(folder, owner);
      window_->setAttribute(Qt::WA_DeleteOnClose);
    } else if (window_->parentWidget() != owner) {
      window_->setParent(owner, Qt::Window);
    }
    if (!window_->OpenTopic(topic)) {
      ShowError(
          parent,
          QStringLiteral("The help page %1 is not installed!\nThe help cannot be displayed.").arg(HelpPageOf(topic)));
      return;
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
  }

 private:
  QPointer<THelpWindow> window_;
};

std::unique_ptr<THelp>& Current() {
  static std::unique_ptr<THelp> help = std::make_unique<TWindowHelp>();
  return help;
}

}  // namespace

QString HelpPageOf(THelpTopic topic) {
  switch (topic) {
    case THelpTopic::Contents:
      return QStringLiteral("index.html");
    case THelpTopic::DefaultOptions:
      return QStringLiteral("default-options.html");
    case THelpTopic::NewTask:
      return QStringLiteral("new-task.html");
    case THelpTopic::Collect:
      return QStringLiteral("collect.html");
    case THelpTopic::Library:
      return QStringLiteral("library.html");
  }
  return QStringLiteral("index.html");
}

QString HelpFolder() {
  QStringList candidates{
      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/vendrake/help"))};
  candidates << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("vendrake/help"),
                                          QStandardPaths::LocateDirectory);
  candidates << QString::fromUtf8(VENDRAKE_SOURCE_HELP_DIR);
  for (const QString& folder : candidates)
    if (HoldsHelp(folder)) return QDir::cleanPath(folder);
  return {};
}

THelp& Help() { return *Current(); }

std::unique_ptr<THelp> SetHelp(std::unique_ptr<THelp> help) {
  std::unique_ptr<THelp> previous = std::move(Current());
  Current() = help ? std::move(help) : std::make_unique<TWindowHelp>();
  return previous;
}

void ShowHelp(QWidget* parent, THelpTopic topic) { Help().Show(parent, topic); }

void AddHelpKey(QWidget* window, THelpTopic topic) {
  auto* key = new QShortcut(QKeySequence::HelpContents, window);
  QObject::connect(key, &QShortcut::activated, window, [window, topic] { ShowHelp(window, topic); });
}

}  // namespace vdk
