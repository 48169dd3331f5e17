#include "ui/imageview/images_panel.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "library/file_transfer.h"
#include "library/image_library.h"
#include "library/saved_files.h"
#include "platform/desktop/wallpaper_picture.h"
#include "ui/common/message_boxes.h"
#include "ui/common/shell.h"
#include "ui/common/wait_cursor.h"
#include "ui/imageview/build_in_job.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/picture_preview.h"
#include "ui/imageview/saved_folder_lister.h"
#include "ui_images_panel.h"

namespace vdk {
namespace {

constexpr int kNameWidth = 150;
constexpr int kSizeWidth = 60;

// Lets the user answer a question while the hourglass is up.
class TCursorPause {
 public:
  TCursorPause() { QGuiApplication::restoreOverrideCursor(); }
  ~TCursorPause() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
};

}  // namespace

// Where the running download adds its rows: into the list, and kept aside
// while a listing is under way, so that the listing does not drop them.
class TImagesPanel::TDownloadRows : public TImagesView {
 public:
  explicit TDownloadRows(TImagesPanel& panel) : panel_(panel) {}
  void AddFileRow(const std::string& caption, const std::string& ext, const std::string& size,
                  const std::string& path) override {
    panel_.model_->AddFileRow(caption, ext, size, path);
    if (panel_.IsListing()) panel_.addedWhileListing_.push_back({caption, ext, size, path});
  }

 private:
  TImagesPanel& panel_;
};

// An action that holds row numbers across a question: a listing that
// arrives meanwhile waits, and is taken again once the action is over.
class TImagesPanel::TBusy {
 public:
  explicit TBusy(TImagesPanel& panel) : panel_(panel) { ++panel_.busy_; }
  ~TBusy() {
    if (--panel_.busy_ == 0 && std::exchange(panel_.relistWhenIdle_, false) && panel_.bound_) panel_.RequestListing();
  }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;

 private:
  TImagesPanel& panel_;
};

TImagesPanel::TImagesPanel(QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::TImagesPanel>()),
      dialogs_(MakeModalImagesDialogs()),
      lister_(new TSavedFolderLister([this](TSavedListing listing) { ApplyListing(std::move(listing)); }, this)),
      downloadRows_(std::make_unique<TDownloadRows>(*this)) {
  ui_->setupUi(this);
  model_ = new TImagesListModel(this);
  QTableView* list = ui_->ImagesListView;
  list->setModel(model_);
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
  list->horizontalHeader()->setSectionsClickable(true);
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list->horizontalHeader()->setStretchLastSection(false);
  list->setColumnWidth(TImagesListModel::NameColumn, kNameWidth);
  list->setColumnWidth(TImagesListModel::SizeColumn, kSizeWidth);
  list->installEventFilter(this);
  // The list and the preview share the width.
  ui_->ImagesSplitter->setStretchFactor(0, 1);
  ui_->ImagesSplitter->setStretchFactor(1, 1);
  ui_->ImagesSplitter->setSizes({width() / 2, width() / 2});

  connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this, &TImagesPanel::ColumnClicked);
  connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TImagesPanel::SelectionChanged);
  connect(list, &QAbstractItemView::doubleClicked, this, &TImagesPanel::OpenViewer);
  connect(model_, &QAbstractItemModel::rowsInserted, this, &TImagesPanel::ListChanged);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, &TImagesPanel::ListChanged);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { listingStale_ = listingStale_ || IsListing(); });
  connect(model_, &QAbstractItemModel::modelReset, this, &TImagesPanel::ListChanged);
}

TImagesPanel::~TImagesPanel() { StopListing(); }

void TImagesPanel::SetLibrary(TImageLibrary* library) {
  library_ = library;
  lister_->SetLibrary(library);
}

void TImagesPanel::SetDialogs(std::unique_ptr<TImagesDialogs> dialogs) { dialogs_ = std::move(dialogs); }

QTableView* TImagesPanel::ListView() const { return ui_->ImagesListView; }

TPicturePreview* TImagesPanel::Preview() const { return ui_->PreviewPanel; }

TImagesView& TImagesPanel::ImagesView() { return *downloadRows_; }

void TImagesPanel::ListSavedFolder(const QString& folder) {
  TWaitCursor wait;
  StopListing();
  folder_ = folder;
  bound_ = true;
  TSavedListing listing;
  listing.Folder = folder.toStdString();
  listing.Stamp = StampFolder(listing.Folder);
  listing.Files = vdk::ListSavedFolder(listing.Folder);
  if (library_)
    for (const TSavedFile& file : listing.Files)
      if (!library_->FindByName(file.Path)) listing.NotInLibrary << QString::fromStdString(file.Path);
  ApplyListing(std::move(listing));
}

void TImagesPanel::ShowSavedFolder(const QString& folder) {
  const bool same = bound_ && folder == folder_;
  if (same && (IsListing() || listedStamp_.Holds(StampFolder(folder.toStdString())))) return;
  if (!same) {
    StopListing();
    folder_ = folder;
    bound_ = true;
    pendingImages_.clear();
    model_->Fill({});
    SelectionChanged();
  }
  RequestListing();
}

void TImagesPanel::RequestListing() {
  listingStale_ = false;
  addedWhileListing_.clear();
  lister_->Request(folder_.toStdString());
}

bool TImagesPanel::IsListing() const { return lister_->Busy(); }

void TImagesPanel::StopListing() {
  lister_->Cancel();
  addedWhileListing_.clear();
  listingStale_ = false;
}

void TImagesPanel::ApplyListing(TSavedListing listing) {
  if (!bound_ || listing.Folder != folder_.toStdString()) return;
  if (busy_ > 0) {
    relistWhenIdle_ = true;
    return;
  }
  if (listingStale_) {
    RequestListing();
    return;
  }
  // Files the download saved after their entries were read, and still listed.
  model_->Flush();
  std::vector<TSavedFile> late;
  if (!addedWhileListing_.empty()) {
    std::unordered_set<std::string> listed, shown;
    for (const TSavedFile& file : listing.Files) listed.insert(file.Path);
    for (int row = 0; row < model_->rowCount(); ++row) shown.insert(model_->Row(row).Path);
    for (TSavedFile& file : addedWhileListing_)
      if (!listed.contains(file.Path) && shown.contains(file.Path)) late.push_back(std::move(file));
    addedWhileListing_.clear();
  }
  listedStamp_ = listing.Stamp;
  pendingImages_ = std::move(listing.NotInLibrary);
  model_->Fill(std::move(listing.Files));
  for (const TSavedFile& file : late) model_->AddFileRow(file.Caption, file.Ext, file.SizeText, file.Path);
  model_->Flush();
  SelectionChanged();
}

void TImagesPanel::Unbind() {
  StopListing();
  listedStamp_ = {};
  bound_ = false;
  folder_.clear();
  pendingImages_.clear();
  model_->Fill({});
  SelectionChanged();
}

TImageActionStates TImagesPanel::ActionStates() const {
  const bool rows = model_->rowCount() > 0;
  const bool selected = ListView()->selectionModel()->hasSelection();
  return {bound_, rows, rows && !buildIn_, selected};
}

QStringList TImagesPanel::SelectedPaths() const {
  QModelIndexList rows = ListView()->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  QStringList paths;
  for (const QModelIndex& row : rows) paths << model_->Path(row.row());
  return paths;
}

std::vector<TSavedFile> TImagesPanel::Rows() const {
  std::vector<TSavedFile> rows;
  rows.reserve(std::size_t(model_->rowCount()));
  for (int row = 0; row < model_->rowCount(); ++row) rows.push_back(model_->Row(row));
  return rows;
}

void TImagesPanel::RemoveFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  const TWaitCursor wait;
  const std::unordered_set<std::string> gone(paths.begin(), paths.end());
  std::vector<int> rows;
  for (int row = 0; row < model_->rowCount(); ++row)
    if (gone.contains(model_->Row(row).Path)) rows.push_back(row);
  ListView()->setUpdatesEnabled(false);
  model_->RemoveRows(std::move(rows));
  ListView()->setUpdatesEnabled(true);
}

void TImagesPanel::ListChanged() {
  const TImageActionStates states = ActionStates();
  if (states == lastStates_) return;
  lastStates_ = states;
  emit ActionStatesChanged();
}

void TImagesPanel::SelectionChanged() {
  ListChanged();
  QModelIndexList rows = ListView()->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  const QModelIndex first = rows.isEmpty() ? QModelIndex() : rows.first();
  if (first.isValid() && QPersistentModelIndex(first) == lastPreviewItem_) return;
  lastPreviewItem_ = first;
  if (!first.isValid())
    Preview()->Clear();
  else
    Preview()->ShowFile(model_->Path(first.row()));
}

void TImagesPanel::SortBy(TImagesSort sort) {
  TImagesOrder order = model_->Order();
  order.Choose(sort);
  model_->SetOrder(order);
}

void TImagesPanel::ColumnClicked(int column) {
  TImagesOrder order = model_->Order();
  order.ClickColumn(column);
  model_->SetOrder(order);
}

void TImagesPanel::SetFit(bool fit) { Preview()->SetFit(fit); }

void TImagesPanel::DeleteSelected() {
  if (!ActionStates().Selected) return;
  const TBusy busy(*this);
  if (AskQuestion(this, QStringLiteral("Do you want to delete selected images ?"),
                  QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  std::vector<int> deleted;
  for (const QModelIndex& row : ListView()->selectionModel()->selectedRows())
    if (DeleteFileEntry(model_->Row(row.row()).Path) == 0) deleted.push_back(row.row());
  model_->RemoveRows(std::move(deleted));
}

void TImagesPanel::DeleteAll() {
  if (!ActionStates().DeleteAll) return;
  if (AskQuestion(this, QStringLiteral("Delete all downloaded files ?")) != QMessageBox::Yes) return;
  TWaitCursor wait;
  std::vector<int> deleted;
  for (int row = model_->rowCount() - 1; row >= 0; --row)
    if (DeleteFileEntry(model_->Row(row).Path) == 0) deleted.push_back(row);
  model_->RemoveRows(std::move(deleted));
}

void TImagesPanel::CopyTo() { Transfer(TTransferKind::Copy); }

void TImagesPanel::MoveTo() { Transfer(TTransferKind::Move); }

void TImagesPanel::Transfer(TTransferKind kind) {
  if (!ActionStates().Selected) return;
  const QString folder = dialogs_->PickFolder(this, QStringLiteral("Copy to ..."));
  if (folder.isEmpty()) return;
  QModelIndexList rows = ListView()->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  if (kind == TTransferKind::Move) std::reverse(rows.begin(), rows.end());

  TWaitCursor wait;
  const TBusy busy(*this);
  TFileTransfer transfer(kind, folder.toStdString(), [this](const std::string& source, const std::string& target) {
    TCursorPause pause;
    return dialogs_->AskOverwrite(this, QString::fromStdString(source), QString::fromStdString(target));
  });
  std::vector<int> moved;
  for (const QModelIndex& row : rows) {
    const TTransferResult result = transfer.Transfer(model_->Row(row.row()).Path);
    if (kind == TTransferKind::Move && result.Status == TTransferStatus::Done) moved.push_back(row.row());
  }
  model_->RemoveRows(std::move(moved));
}

void TImagesPanel::OpenFolder() {
  if (bound_) Shell().Open(QUrl::fromLocalFile(folder_));
}

void TImagesPanel::SetWallpaper() {
  const QStringList selected = SelectedPaths();
  if (selected.isEmpty()) return;
  const std::optional<TWallpaperStyle> style = dialogs_->AskWallpaperStyle(this);
  if (!style) return;
  try {
    TWaitCursor wait;
    SetWallpaperFromFile(Wallpaper(), selected.first().toStdString(), *style, WallpaperFolder());
  } catch (const EVendrakeError& error) {
    ShowError(this, QString::fromStdString(error.what()));
  }
}

void TImagesPanel::BuildIn() {
  if (!ActionStates().BuildIn || !library_) return;
  if (pendingImages_.isEmpty()) {
    ShowInformation(this, QStringLiteral("No image need to build-in library!"));
    return;
  }
  if (AskQuestion(this, QStringLiteral("Do you want to build-in these images? It will take a few minutes.")) !=
      QMessageBox::Yes)
    return;
  buildIn_ = std::make_unique<TBuildInJob>(*library_, pendingImages_);
  connect(buildIn_.get(), &TBuildInJob::Progress, this, &TImagesPanel::BuildInProgress);
  connect(buildIn_.get(), &TBuildInJob::Finished, this, &TImagesPanel::BuildInEnded);
  ListChanged();
  emit BuildInProgress(0, buildIn_->Total());
}

void TImagesPanel::BuildInEnded() {
  buildIn_.reset();
  pendingImages_.clear();
  ListChanged();
  emit BuildInFinished();
}

void TImagesPanel::OpenViewer() {
  QModelIndexList rows = ListView()->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  std::sort(rows.begin(), rows.end());
  dialogs_->View(this, model_->Paths(), rows.first().row());
}

bool TImagesPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView()) {
    if (event->type() == QEvent::Resize) FitNameColumn();
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        OpenViewer();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

// The "Name" column takes the width the other columns leave.
void TImagesPanel::FitNameColumn() {
  QTableView* list = ListView();
  int used = 0;
  for (int column = 0; column < TImagesListModel::ColumnCount; ++column) used += list->columnWidth(column);
  const int arrow = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
  const int name = list->columnWidth(TImagesListModel::NameColumn) + list->width() - used - arrow - 5;
  list->setColumnWidth(TImagesListModel::NameColumn, std::max(name, kNameWidth / 2));
}

}  // namespace vdk
