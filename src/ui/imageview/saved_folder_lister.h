#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/saved_files.h"

namespace vdk {

class TBackgroundJob;
class TImageLibrary;

// A listing of a task's "Saved" folder: the stamp taken before its entries
// were read, the entries, and the paths the library does not hold yet.
struct TSavedListing {
  std::string Folder;
  TFolderStamp Stamp;
  std::vector<TSavedFile> Files;
  QStringList NotInLibrary;
};

// Lists a "Saved" folder on a thread of its own ("vdk-listsaved"), so that a
// folder of thousands of files never holds up the window. Only the newest
// request is delivered: a new request or Cancel stops the listing under way
// between two entries, and its result never arrives. The listing is handed
// to the callback on the GUI thread.
//
// Threads: made, used and destroyed on the GUI thread. The listing thread
// reads the folder, the library (which guards itself; it must outlive the
// lister) and writes its own result, which the GUI thread reads only once
// the thread is done.
class TSavedFolderLister : public QObject {
  Q_OBJECT
 public:
  using TListed = std::function<void(TSavedListing listing)>;

  explicit TSavedFolderLister(TListed listed, QObject* parent = nullptr);
  ~TSavedFolderLister() override;

  void SetLibrary(const TImageLibrary* library) { library_ = library; }
  void Request(const std::string& folder);
  void Cancel();
  // A listing is under way.
  bool Busy() const { return job_ != nullptr; }

 private:
  void Done();

  TListed listed_;
  const TImageLibrary* library_ = nullptr;
  std::shared_ptr<TSavedListing> result_;
  std::unique_ptr<TBackgroundJob> job_;
};

}  // namespace vdk
