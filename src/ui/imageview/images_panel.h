#pragma once

#include <QPersistentModelIndex>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "library/saved_files.h"
#include "library/saved_files_order.h"
#include "ui/imageview/images_dialogs.h"

class QTableView;

namespace Ui {
class TImagesPanel;
}

namespace vdk {

class TBuildInJob;
class TImageLibrary;
class TImagesListModel;
class TImagesView;
class TPicturePreview;
class TSavedFolderLister;
struct TSavedListing;

// Which image actions may run now.
struct TImageActionStates {
  bool Folder = false;     // "Folder": a task is bound
  bool DeleteAll = false;  // "Delete All", "Delete By ...": the list has rows
  bool BuildIn = false;    // "Build-in": the list has rows and no build-in runs
  bool Selected = false;   // "Copy to ...", "Move to ...", "Delete", "Wall": a row is selected
  bool operator==(const TImageActionStates&) const = default;
};

// The downloaded-files panel of the main window: the images list of a task's
// "Saved" folder beside the preview of the selected picture, and the image
// actions on them. The main window binds it to the selected task's folder,
// lets the task's running download add rows through ImagesView(), runs the
// actions from its action table and enables them by ActionStates().
class TImagesPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TImagesPanel(QWidget* parent = nullptr);
  ~TImagesPanel() override;

  // The catalogue that decides which files are pending for "Build-in"; it
  // must outlive the panel. Without one nothing is pending.
  void SetLibrary(TImageLibrary* library);
  // Replaces the modal windows the actions open (tests script them).
  void SetDialogs(std::unique_ptr<TImagesDialogs> dialogs);

  // Lists the folder (a task's "Saved" folder) now and binds the panel to it.
  void ListSavedFolder(const QString& folder);
  // Binds the panel to the folder and lists it on a thread of its own, unless
  // the list shows that folder and its entries have not changed since it was
  // listed. Another folder's rows go at once; the same folder's stay until
  // the listing replaces them. Rows the running download adds meanwhile are
  // kept. A listing that the panel's own deletes or moves made stale, or
  // that arrives while such an action runs, is taken again afterwards.
  void ShowSavedFolder(const QString& folder);
  bool IsListing() const;
  // Stops a listing under way; its result never arrives.
  void StopListing();
  // Empties the list and unbinds (a folder node is selected).
  void Unbind();
  const QString& Folder() const { return folder_; }
  bool IsBound() const { return bound_; }

  // Where a running download of the bound task adds its saved files.
  TImagesView& ImagesView();
  const QStringList& PendingImages() const { return pendingImages_; }
  TImageActionStates ActionStates() const;
  // The paths of the selected rows, in list order.
  QStringList SelectedPaths() const;
  // Every row, in list order.
  std::vector<TSavedFile> Rows() const;
  // Drops every row whose path is one of paths (files deleted elsewhere).
  void RemoveFiles(const std::vector<std::string>& paths);

  QTableView* ListView() const;
  TImagesListModel* Model() const { return model_; }
  TPicturePreview* Preview() const;

 public slots:
  void SortBy(vdk::TImagesSort sort);
  void ColumnClicked(int column);
  void SetFit(bool fit);
  void DeleteSelected();
  void DeleteAll();
  void CopyTo();
  void MoveTo();
  void OpenFolder();
  void SetWallpaper();
  void BuildIn();
  void OpenViewer();

 signals:
  void ActionStatesChanged();
  // "Build-in" progress for the status bar: done of total paths.
  void BuildInProgress(int done, int total);
  void BuildInFinished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SelectionChanged();
  void ListChanged();
  void Transfer(TTransferKind kind);
  void FitNameColumn();
  void BuildInEnded();
  void ApplyListing(TSavedListing listing);
  void RequestListing();

  class TDownloadRows;
  class TBusy;

  std::unique_ptr<Ui::TImagesPanel> ui_;
  TImagesListModel* model_;
  std::unique_ptr<TImagesDialogs> dialogs_;
  TImageLibrary* library_ = nullptr;
  QString folder_;
  bool bound_ = false;
  QStringList pendingImages_;
  QPersistentModelIndex lastPreviewItem_;
  std::unique_ptr<TBuildInJob> buildIn_;
  TImageActionStates lastStates_;
  TSavedFolderLister* lister_;
  std::unique_ptr<TDownloadRows> downloadRows_;
  TFolderStamp listedStamp_;                   // of the listing shown
  std::vector<TSavedFile> addedWhileListing_;  // by the running download
  bool listingStale_ = false;                  // rows went while listing
  int busy_ = 0;                               // actions that hold row numbers
  bool relistWhenIdle_ = false;
};

}  // namespace vdk
