#include "ui/dialogs/help_window.h"

#include <QDir>
#include <QFileInfo>

#include "ui/common/shell.h"
#include "ui_help_window.h"

namespace vdk {

THelpWindow::THelpWindow(QString folder, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::THelpWindow>()), folder_(std::move(folder)) {
  ui_->setupUi(this);
  QTextBrowser* browser = ui_->HelpBrowser;
  browser->setSearchPaths({folder_});
  connect(browser, &QTextBrowser::anchorClicked, this, &THelpWindow::FollowLink);
  connect(browser, &QTextBrowser::backwardAvailable, ui_->BackButton, &QPushButton::setEnabled);
  connect(browser, &QTextBrowser::forwardAvailable, ui_->ForwardButton, &QPushButton::setEnabled);
  connect(ui_->BackButton, &QPushButton::clicked, browser, &QTextBrowser::backward);
  connect(ui_->ForwardButton, &QPushButton::clicked, browser, &QTextBrowser::forward);
  connect(ui_->ContentsButton, &QPushButton::clicked, this, [this] { OpenTopic(THelpTopic::Contents); });
  connect(browser, &QTextBrowser::sourceChanged, this,
          [this] { setWindowTitle(QStringLiteral("Vendrake Help - %1").arg(ui_->HelpBrowser->documentTitle())); });
}

THelpWindow::~THelpWindow() = default;

bool THelpWindow::OpenTopic(THelpTopic topic) {
  const QString page = QDir(folder_).filePath(HelpPageOf(topic));
  if (!QFileInfo(page).isFile()) return false;
  ui_->HelpBrowser->setSource(QUrl::fromLocalFile(page));
  return true;
}

QUrl THelpWindow::Source() const { return ui_->HelpBrowser->source(); }

void THelpWindow::FollowLink(const QUrl& url) {
  const QString scheme = url.scheme();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")) {
    Shell().Open(url);
    return;
  }
  ui_->HelpBrowser->setSource(url);
}

}  // namespace vdk
