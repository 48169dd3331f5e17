#include "ui/mainwindow/browser_automation.h"

#include <QApplication>
#include <QUrl>
#include <exception>

#include "core/model/task_list.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/task_runner.h"

namespace vdk {
namespace {

// BrowserRequest and BrowserURL hold only while one request is served, also
// when it fails.
class TBrowserRequestGuard {
 public:
  TBrowserRequestGuard(TMainForm& form, const QString& url) : form_(form) {
    form_.BrowserRequest = true;
    form_.BrowserURL = url.toStdString();
  }
  ~TBrowserRequestGuard() {
    form_.BrowserRequest = false;
    form_.BrowserURL.clear();
  }
  TBrowserRequestGuard(const TBrowserRequestGuard&) = delete;
  TBrowserRequestGuard& operator=(const TBrowserRequestGuard&) = delete;

 private:
  TMainForm& form_;
};

}  // namespace

bool IsBrowserAddress(const QString& url) {
  const QUrl parsed(url, QUrl::StrictMode);
  if (!parsed.isValid() || parsed.host().isEmpty()) return false;
  const QString scheme = parsed.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

TBrowserAutomation::TBrowserAutomation(QObject* parent) : QObject(parent) {
  retry_.setSingleShot(true);
  retry_.setInterval(kRetryMilliseconds);
  connect(&retry_, &QTimer::timeout, this, &TBrowserAutomation::ServeNext);
  idle_.setInterval(kIdleCheckMilliseconds);
  connect(&idle_, &QTimer::timeout, this, &TBrowserAutomation::EndIfIdle);
}

void TBrowserAutomation::Attach(TMainForm* form) {
  form_ = form;
  QTimer::singleShot(0, this, [this] { waiting_.empty() ? EndIfIdle() : ServeNext(); });
}

void TBrowserAutomation::CreateUrl(const QString& strUrl) {
  // Anything but a web address is refused at once and opens nothing.
  if (!IsBrowserAddress(strUrl)) {
    sendErrorReply(QString::fromLatin1(kErrorName),
                   QStringLiteral("Only http and https addresses can be downloaded: %1").arg(strUrl));
    servedOne_ = true;  // answered: a program started for it has nothing left to do
    QTimer::singleShot(0, this, &TBrowserAutomation::EndIfIdle);
    return;
  }
  setDelayedReply(true);
  waiting_.push_back({connection(), message(), strUrl});
  QTimer::singleShot(0, this, &TBrowserAutomation::ServeNext);
}

void TBrowserAutomation::ServeNext() {
  if (serving_ || waiting_.empty() || form_ == nullptr) return;
  // A modal window (another dialog, a message box) is open: the request
  // waits until the user has closed it.
  if (QApplication::activeModalWidget() != nullptr) {
    retry_.start();
    return;
  }
  serving_ = true;
  const TRequest request = std::move(waiting_.front());
  waiting_.pop_front();
  const QString error = Serve(request.url);
  request.connection.send(error.isEmpty() ? request.message.createReply()
                                          : request.message.createErrorReply(QString::fromLatin1(kErrorName), error));
  serving_ = false;
  servedOne_ = true;
  if (!waiting_.empty())
    QTimer::singleShot(0, this, &TBrowserAutomation::ServeNext);
  else
    EndIfIdle();
}

QString TBrowserAutomation::Serve(const QString& url) {
  // Between Exit and the end of the program nothing new is started.
  if (form_->ExitRequested()) return QStringLiteral("Vendrake is closing.");
  try {
    const TBrowserRequestGuard request(*form_, url);
    form_->BringForward();
    // A cancelled dialog starts nothing, whatever node is selected.
    if (form_->NewTask()) form_->Execute(QStringLiteral("TasksRunAction"));
    return {};
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  }
}

void TBrowserAutomation::EndIfIdle() {
  if (!endWhenIdle_ || !servedOne_ || form_ == nullptr) {
    idle_.stop();
    return;
  }
  const bool busy = serving_ || !waiting_.empty() || QApplication::activeModalWidget() != nullptr ||
                    form_->Runner().Tasks.RunningCount() > 0;
  if (busy) {
    idle_.start();
    return;
  }
  idle_.stop();
  form_->RequestExit();
}

}  // namespace vdk
