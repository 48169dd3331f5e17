#pragma once

#include <QObject>
#include <QStringList>
#include <thread>

namespace vdk {

class TImageLibrary;

// "Build-in": catalogues paths in the image library one after the other on a
// worker thread ("vdk-buildin"), so the window stays usable while thousands
// of pictures decode. Progress and the end arrive as signals on the GUI
// thread. A path that is gone, or is not a regular file, is passed over.
// Destroying the job stops it at once: the decode under way is abandoned
// and nothing more is added.
class TBuildInJob : public QObject {
  Q_OBJECT
 public:
  // The library must outlive the job.
  TBuildInJob(TImageLibrary& library, QStringList paths, QObject* parent = nullptr);
  ~TBuildInJob() override;

  int Total() const { return int(paths_.size()); }

 signals:
  void Progress(int done, int total);
  void Finished(int added);

 private:
  void Run(std::stop_token stop);

  TImageLibrary& library_;
  const QStringList paths_;
  std::jthread thread_;  // last: starts once everything it uses exists
};

}  // namespace vdk
