#include "ui/imageview/saved_folder_lister.h"

#include "library/image_library.h"
#include "ui/common/background_job.h"

namespace vdk {

TSavedFolderLister::TSavedFolderLister(TListed listed, QObject* parent) : QObject(parent), listed_(std::move(listed)) {}

TSavedFolderLister::~TSavedFolderLister() { Cancel(); }

void TSavedFolderLister::Request(const std::string& folder) {
  Cancel();
  auto result = std::make_shared<TSavedListing>();
  result->Folder = folder;
  result_ = result;
  const TImageLibrary* library = library_;
  job_ = std::make_unique<TBackgroundJob>(
      "vdk-listsaved", 0,
      [result, library](TBackgroundJob&, std::stop_token stop) {
        // The stamp first: whatever changes while the entries are read
        // makes the next stamp differ.
        result->Stamp = StampFolder(result->Folder);
        result->Files = ListSavedFolder(result->Folder, stop);
        if (library == nullptr) return;
        for (const TSavedFile& file : result->Files) {
          if (stop.stop_requested()) return;
          if (!library->FindByName(file.Path)) result->NotInLibrary << QString::fromStdString(file.Path);
        }
      },
      this);
  connect(job_.get(), &TBackgroundJob::Finished, this, &TSavedFolderLister::Done);
}

void TSavedFolderLister::Cancel() {
  // Stops the thread between two entries and waits for it; its Finished,
  // queued or not, is never delivered.
  job_.reset();
  result_.reset();
}

void TSavedFolderLister::Done() {
  // The job is the sender: it goes once its signal is over (or with the
  // lister, its parent).
  job_.release()->deleteLater();
  const std::shared_ptr<TSavedListing> result = std::move(result_);
  listed_(std::move(*result));
}

}  // namespace vdk
