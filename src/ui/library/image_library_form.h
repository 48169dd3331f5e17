#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "ui/common/background_job.h"
#include "ui/imageview/images_dialogs.h"
#include "ui/library/load_image_thread.h"

class QLabel;
class QProgressBar;
class QTreeView;

namespace Ui {
class TImageLibraryForm;
}

namespace vdk {

class TImageLibrary;
class TImageLibraryModel;
class TJpegBrowser;
class TJpegPanel;
class TPicturePreview;
class TSynchronizer;

// "Library": every record of the image library as a list with the preview of
// the selected picture, or as a grid of thumbnails of its JPEG and BMP files,
// with the maintenance commands: Verify (drop the records whose files are
// gone), Delete the selected files, Clear the library (with or without the
// files), View in the full-screen viewer, turn the preview a quarter turn,
// and Help. Each showing lists the library anew on the pacing thread, so the
// window is usable at once; Verify and the deletes of many files run as a
// background job with their progress in the status bar. Closing the window
// stops the listing and the job at once. Made for one modal showing by its
// opener. GUI thread only.
class TImageLibraryForm : public QDialog, private TLoadImageView {
  Q_OBJECT
 public:
  // The library must outlive the window.
  explicit TImageLibraryForm(TImageLibrary& library, QWidget* parent = nullptr);
  ~TImageLibraryForm() override;

  // The viewer and the other modal windows it opens (tests script them).
  void SetDialogs(std::unique_ptr<TImagesDialogs> dialogs);

  bool IsLoading() const { return isLoading_; }
  // The running verify or delete job, or null.
  TBackgroundJob* Job() const { return job_.data(); }
  bool InPreviewMode() const;
  TImageLibraryModel* Model() const { return model_; }
  QTreeView* ListView() const;
  TPicturePreview* ViewPanel() const;
  TJpegBrowser* Browser() const;
  // The text of status panel 0, 1 or 2.
  QString StatusText(int panel) const;

 public slots:
  void VerifyButtonClick();
  void DeleteButtonClick();
  void ViewButtonClick();
  void ClearButtonClick();
  void TurnLeftActionExecute();
  void TurnRightActionExecute();
  void PreviewActionExecute();
  void HelpButtonClick();

 signals:
  // Every record is listed.
  void ListingEnded();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BeginListing(int count) override;
  void AddRecords(const std::vector<TImageDetailPtr>& records, int index) override;
  void EndListing() override;

  void SetUpToolBar();
  void SetUpStatusBar();
  void StartListing();
  void StopListing();
  // Verify and Clear wait for the listing; no command that starts a job
  // runs while one runs. The progress shows while either runs.
  void UpdateCommands();
  void StartJob(const char* threadName, const QString& label, int total, TBackgroundJob::TWork work,
                std::function<void()> ended);
  void StopJob();
  void SetPreviewMode(bool on);
  void SelectionChanged();
  void ShowPreviewOf(const QString& path);
  void Turn(int degrees);
  void FillBrowser();
  void DeleteSelectedRows();
  void DeleteSelectedThumbnail();
  void BrowserPanelClick(TJpegPanel* panel);
  void ShowTotal();
  // The selected row: the current one when it is selected, else the first
  // selected; -1 when none is.
  int SelectedRow() const;

  std::unique_ptr<Ui::TImageLibraryForm> ui_;
  TImageLibrary& library_;
  TImageLibraryModel* model_;
  std::shared_ptr<TSynchronizer> synchronizer_;
  std::unique_ptr<TLoadImageThread> loadThread_;
  std::unique_ptr<TImagesDialogs> dialogs_;
  QPointer<TBackgroundJob> job_;
  bool isLoading_ = false;
  QLabel* panels_[3] = {};
  QProgressBar* progressBar_ = nullptr;
};

}  // namespace vdk
