// The library window's commands: Verify, Delete, Clear, View and the preview
// mode. Deleting and verifying many files run as background jobs with their
// progress in the status bar; closing the window stops them at once.

#include <QStackedWidget>
#include <QTreeView>
#include <unordered_set>

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "library/file_actions.h"
#include "library/image_library.h"
#include "library/library_verify.h"
#include "ui/common/background_job.h"
#include "ui/common/message_boxes.h"
#include "ui/common/wait_cursor.h"
#include "ui/imageview/jpeg_browser.h"
#include "ui/library/image_library_form.h"
#include "ui/library/image_library_model.h"
#include "ui_image_library_form.h"

namespace vdk {
namespace {

bool IsThumbnailFormat(const std::string& path) {
  const std::string ext = LowerCase(ExtractFileExt(path));
  return ext == ".jpeg" || ext == ".jpg" || ext == ".bmp";
}

std::vector<std::string> PathsOf(const std::vector<TImageDetailPtr>& records) {
  std::vector<std::string> paths;
  paths.reserve(records.size());
  for (const TImageDetailPtr& record : records) paths.push_back(record->FileName);
  return paths;
}

}  // namespace

void TImageLibraryForm::VerifyButtonClick() {
  if (!ui_->VerifyAction->isEnabled()) return;
  if (AskQuestion(this, QStringLiteral("Do you want to delete all invalid image records from library? It will take a "
                                       "few minutes.")) != QMessageBox::Yes)
    return;
  auto listed = std::make_shared<const std::vector<TImageDetailPtr>>(model_->Records());
  auto invalid = std::make_shared<std::vector<int>>();
  StartJob(
      "vdk-libverify", QStringLiteral("Verifying"), int(listed->size()),
      [listed, invalid](TBackgroundJob& job, std::stop_token stop) {
        *invalid = FindInvalidRecords(*listed, stop, job.Progress());
      },
      [this, listed, invalid] {
        std::vector<TImageDetailPtr> gone;
        gone.reserve(invalid->size());
        for (const int position : *invalid) gone.push_back((*listed)[std::size_t(position)]);
        library_.RemoveRecords(gone);
        model_->RemoveRecords(gone);
        ShowTotal();
        if (gone.empty())
          ShowInformation(this, QStringLiteral("No valid record found !"));
        else
          ShowInformation(this, QStringLiteral("%1 record(s) has been deleted !").arg(gone.size()));
      });
}

void TImageLibraryForm::DeleteButtonClick() {
  if (!ui_->DeleteAction->isEnabled()) return;
  if (InPreviewMode())
    DeleteSelectedThumbnail();
  else
    DeleteSelectedRows();
}

// The records stay in the library until Verify; the rows go, also those
// whose files could not be deleted.
void TImageLibraryForm::DeleteSelectedRows() {
  const QModelIndexList rows = ListView()->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  if (AskQuestion(this, QStringLiteral("Do you want to delete selected image(s)?")) != QMessageBox::Yes) return;
  auto records = std::make_shared<std::vector<TImageDetailPtr>>();
  for (const QModelIndex& row : rows) records->push_back(model_->Records()[std::size_t(row.row())]);
  StartJob(
      "vdk-libdelete", QStringLiteral("Deleting"), int(records->size()),
      [paths = PathsOf(*records)](TBackgroundJob& job, std::stop_token stop) {
        DeleteFileEntries(paths, stop, job.Progress());
      },
      [this, records] {
        model_->RemoveRecords(*records);
        ShowTotal();
      });
}

void TImageLibraryForm::DeleteSelectedThumbnail() {
  TJpegPanel* panel = Browser()->Selected();
  if (panel == nullptr) return;
  if (AskQuestion(this, QStringLiteral("Do you want to delete selected image?")) != QMessageBox::Yes) return;
  DeleteFileEntry(panel->Filename().toStdString());
  Browser()->RemovePanel(panel);
}

void TImageLibraryForm::ClearButtonClick() {
  if (!ui_->ClearAction->isEnabled()) return;
  const QMessageBox::StandardButton answer =
      AskQuestion(this,
                  QStringLiteral("Do you want to delete all files on disk? Yes - Delete all files, No - Only delete "
                                 "them from library, Cancel - Cancel this operation."),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer != QMessageBox::Yes && answer != QMessageBox::No) return;
  library_.Clear();
  std::vector<std::string> paths;
  if (answer == QMessageBox::Yes) paths = PathsOf(model_->Records());
  model_->Clear();
  if (InPreviewMode()) FillBrowser();
  ShowTotal();
  if (paths.empty()) return;
  const int total = int(paths.size());
  StartJob(
      "vdk-libdelete", QStringLiteral("Deleting"), total,
      [paths = std::move(paths)](TBackgroundJob& job, std::stop_token stop) {
        DeleteFileEntries(paths, stop, job.Progress());
      },
      [] {});
}

void TImageLibraryForm::ViewButtonClick() {
  if (InPreviewMode()) {
    const TJpegPanel* panel = Browser()->Selected();
    if (panel != nullptr) dialogs_->View(this, Browser()->Files(), panel->Index());
    return;
  }
  const int row = SelectedRow();
  if (row >= 0) dialogs_->View(this, model_->Paths(), row);
}

void TImageLibraryForm::PreviewActionExecute() { ui_->PreviewAction->toggle(); }

void TImageLibraryForm::SetPreviewMode(bool on) {
  ui_->ViewStack->setCurrentWidget(on ? static_cast<QWidget*>(Browser()) : ui_->Splitter);
  if (on) FillBrowser();
}

// The thumbnails of the library's JPEG and BMP files that are there, in
// library order.
void TImageLibraryForm::FillBrowser() {
  TWaitCursor wait;
  TJpegBrowser* browser = Browser();
  browser->ClearPanels();
  browser->ClearFiles();
  for (int i = 0, count = library_.Count(); i < count; ++i) {
    TImageDetailPtr record;
    try {
      record = library_.Items(i);
    } catch (const std::out_of_range&) {
      break;  // the library shrank meanwhile
    }
    if (IsThumbnailFormat(record->FileName) && CataloguedFileExists(record->FileName))
      browser->AddFile(QString::fromStdString(record->FileName));
  }
  browser->BuildPanels();
}

}  // namespace vdk
