#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace vdk {

// Vendrake's name on the user's session bus, which is also the lock that
// keeps one program per user: the first program owns the name; a second one
// finds it taken, asks the first to come forward (its Activate method) and
// ends. More objects go under the same name (the browser's automation
// object at /VDK/IE) through RegisterObject. GUI thread only.
class TSessionService : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kServiceName = "org.vendrake.Vendrake";
  static constexpr const char* kObjectPath = "/org/vendrake/Vendrake";
  static constexpr const char* kInterface = "org.vendrake.Vendrake";

  enum class TClaim {
    Owned,  // this program is the one
    Taken,  // another program of this user runs
    NoBus,  // no session bus: nothing can be shared, the program runs alone
  };

  explicit TSessionService(QDBusConnection connection = QDBusConnection::sessionBus(), QObject* parent = nullptr);
  ~TSessionService() override;

  // Publishes the Activate object and takes the name, never queueing for it.
  TClaim Claim();
  // Asks the program that owns the name to come forward; false when it did
  // not answer in time. Events of this program are processed meanwhile.
  bool ActivateRunning();
  // Publishes another object's slots under the name.
  bool RegisterObject(const QString& path, QObject* object);

 signals:
  // Another start of the program asked this one to come forward.
  void ActivateRequested();

 private:
  QDBusConnection connection_;
  bool owned_ = false;
};

}  // namespace vdk
