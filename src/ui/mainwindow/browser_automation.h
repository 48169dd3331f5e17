#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>

namespace vdk {

class TMainForm;

// Only http and https addresses with a host are taken from a browser.
bool IsBrowserAddress(const QString& url);

// The automation object the browser's context-menu entry calls, published at
// /VDK/IE with the interface org.vendrake.VDK.IIE. CreateUrl brings the main
// window forward, opens the New task dialog with the address and, on OK, runs
// the new task. The caller waits while the user works in the dialog, so every
// call is answered later (a delayed reply) while the GUI thread goes on. Calls
// are served one at a time, never while a modal window is open; the others
// wait their turn. GUI thread only.
class TBrowserAutomation : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.vendrake.VDK.IIE")

 public:
  static constexpr const char* kObjectPath = "/VDK/IE";
  static constexpr const char* kInterface = "org.vendrake.VDK.IIE";
  static constexpr const char* kMethod = "CreateUrl";
  static constexpr const char* kErrorName = "org.vendrake.VDK.IIE.Error";
  static constexpr int kRetryMilliseconds = 200;
  static constexpr int kIdleCheckMilliseconds = 1000;

  explicit TBrowserAutomation(QObject* parent = nullptr);

  // The window the calls go to; calls that came before it wait.
  void Attach(TMainForm* form);
  // The program was started for a browser request: once a request has been
  // served or refused and no request waits, no task runs and no modal window is open, it
  // ends through the Exit sequence.
  void EndWhenIdle() { endWhenIdle_ = true; }
  // The user started the program himself meanwhile: it stays.
  void StayAlive() { endWhenIdle_ = false; }
  // Calls received and not answered yet, the one being served included.
  int Pending() const { return static_cast<int>(waiting_.size()) + (serving_ ? 1 : 0); }

 public slots:
  void CreateUrl(const QString& strUrl);

 private:
  struct TRequest {
    QDBusConnection connection;
    QDBusMessage message;
    QString url;
  };

  void ServeNext();
  // Empty when served, else the error's message.
  QString Serve(const QString& url);
  void EndIfIdle();

  TMainForm* form_ = nullptr;
  std::deque<TRequest> waiting_;
  bool serving_ = false;
  bool endWhenIdle_ = false;
  bool servedOne_ = false;
  QTimer retry_;
  QTimer idle_;
};

}  // namespace vdk
