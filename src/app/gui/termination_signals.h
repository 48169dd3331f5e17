#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace vdk::gui {

// Turns SIGTERM, SIGHUP and SIGINT into a signal on the GUI thread, so that
// the end of the session or a kill runs the program's Exit sequence instead
// of dropping what is in memory. One per process.
class TTerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TTerminationSignals(QObject* parent = nullptr);
  ~TTerminationSignals() override;

 signals:
  void Received(int signal);

 private:
  void Drain();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vdk::gui
