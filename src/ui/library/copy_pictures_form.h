#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>

#include "library/collect_rule.h"
#include "ui/common/background_job.h"
#include "ui/imageview/images_dialogs.h"

namespace Ui {
class TCopyPicturesForm;
}

namespace vdk {

class TCollectModel;
class TImageLibrary;

// "Collect images": lists a task's "Saved" folder with the sizes from the disk
// and the dimensions from the image library, checks files by format, minimum
// dimensions and minimum size, and copies the checked ones into another
// folder. Listing and copying run as background jobs with their progress in
// the window; a clash with a file already there is put to the overwrite
// confirmation. Closing the window (the "&Close" button reads "&Cancel"
// while copying) stops the job at once; the copies made remain and no
// partial file is left. Made for one modal showing. GUI thread only.
class TCopyPicturesForm : public QDialog {
  Q_OBJECT
 public:
  // The library must outlive the window.
  explicit TCopyPicturesForm(TImageLibrary& library, QWidget* parent = nullptr);
  ~TCopyPicturesForm() override;

  // The task's save folder (its "Saved" folder is listed); set before showing.
  void SetSaveFolder(const std::string& saveFolder);
  // The folder picker and the overwrite confirmation (tests script them).
  void SetDialogs(std::unique_ptr<TImagesDialogs> dialogs);

  const std::string& DestFolder() const { return destFolder_; }
  void SetDestFolder(const std::string& folder);
  bool ListReady() const { return listReady_; }
  TCollectModel* Model() const { return model_; }
  // The running listing or copy, or null.
  TBackgroundJob* Job() const { return job_.data(); }
  // The choices of the limit and format controls.
  TCollectFilter Filter() const;

 public slots:
  void LimitImageSizeCheckClick();
  void LimitFileSizeCheckClick();
  void ChangeDestButtonClick();
  void SelectButtonClick();
  void UnselectButtonClick();
  void CopyButtonClick();
  void CloseButtonClick();
  void HelpButtonClick();

 signals:
  void ListingEnded();
  void CopyEnded();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void StartListing();
  void ListingFinished();
  void CopyFinished();
  void SetRunning(bool running);
  void ShowProgress(int done, int total);
  void StopJob();

  std::unique_ptr<Ui::TCopyPicturesForm> ui_;
  TImageLibrary& library_;
  TCollectModel* model_;
  std::unique_ptr<TImagesDialogs> dialogs_;
  std::string saveFolder_;
  std::string destFolder_;
  bool listReady_ = false;
  QPointer<TBackgroundJob> job_;
};

// A folder (ending with "/") and a tail for a label: both whole when the
// folder is shorter than 31 characters, else the folder's first 30
// characters, "...", and "/" and the tail when there is one.
QString ShortFolderText(const std::string& folder, const std::string& tail = {});

}  // namespace vdk
