#include "ui/library/copy_pictures_form.h"

#include <QHeaderView>
#include <QShowEvent>

#include "core/base/path_utils.h"
#include "library/collect_list.h"
#include "library/file_transfer.h"
#include "platform/vendrake_folders.h"
#include "ui/common/message_boxes.h"
#include "ui/dialogs/help.h"
#include "ui/library/collect_model.h"
#include "ui_copy_pictures_form.h"

namespace vdk {
namespace {

constexpr int kColumnWidths[] = {185, 70, 80, 70, 70};
constexpr std::size_t kShortFolder = 30;

QString WaitText() { return QStringLiteral("Please waiting for the update !"); }

std::string ProgramFolder() {
  try {
    return VendrakeHome();
  } catch (const std::exception&) {
    return "/";
  }
}

}  // namespace

QString ShortFolderText(const std::string& folder, const std::string& tail) {
  if (folder.size() <= kShortFolder) return QString::fromStdString(folder + tail);
  return QString::fromStdString(folder.substr(0, kShortFolder) + "..." + (tail.empty() ? "" : "/" + tail));
}

TCopyPicturesForm::TCopyPicturesForm(TImageLibrary& library, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TCopyPicturesForm>()),
      library_(library),
      model_(new TCollectModel(this)),
      dialogs_(MakeModalImagesDialogs()) {
  ui_->setupUi(this);
  ui_->ImagesListView->setModel(model_);
  for (int column = 0; column < TCollectModel::ColumnCount; ++column)
    ui_->ImagesListView->header()->resizeSection(column, kColumnWidths[column]);
  SetDestFolder(ProgramFolder());
  AddHelpKey(this, THelpTopic::Collect);

  connect(ui_->LimitImageSizeCheck, &QCheckBox::clicked, this, &TCopyPicturesForm::LimitImageSizeCheckClick);
  connect(ui_->LimitFileSizeCheck, &QCheckBox::clicked, this, &TCopyPicturesForm::LimitFileSizeCheckClick);
  connect(ui_->ChangeDestButton, &QPushButton::clicked, this, &TCopyPicturesForm::ChangeDestButtonClick);
  connect(ui_->SelectButton, &QPushButton::clicked, this, &TCopyPicturesForm::SelectButtonClick);
  connect(ui_->UnselectButton, &QPushButton::clicked, this, &TCopyPicturesForm::UnselectButtonClick);
  connect(ui_->CopyButton, &QPushButton::clicked, this, &TCopyPicturesForm::CopyButtonClick);
  connect(ui_->CloseButton, &QPushButton::clicked, this, &TCopyPicturesForm::CloseButtonClick);
  connect(ui_->HelpButton, &QPushButton::clicked, this, &TCopyPicturesForm::HelpButtonClick);
}

TCopyPicturesForm::~TCopyPicturesForm() { StopJob(); }

void TCopyPicturesForm::SetSaveFolder(const std::string& saveFolder) {
  saveFolder_ = AddSlash(saveFolder);
  ui_->SourceFolderLabel->setText(ShortFolderText(saveFolder_, "Saved/"));
}

void TCopyPicturesForm::SetDialogs(std::unique_ptr<TImagesDialogs> dialogs) { dialogs_ = std::move(dialogs); }

void TCopyPicturesForm::SetDestFolder(const std::string& folder) {
  destFolder_ = folder;
  ui_->DestFolderLabel->setText(ShortFolderText(folder));
  ui_->DestFolderLabel->setToolTip(QString::fromStdString(folder));
}

TCollectFilter TCopyPicturesForm::Filter() const {
  TCollectFilter filter;
  const QCheckBox* formats[] = {ui_->GIFCheck, ui_->JPGCheck, ui_->JPEGCheck, ui_->TIFCheck, ui_->TIFFCheck,
                                ui_->BMPCheck, ui_->PCXCheck, ui_->PNGCheck,  ui_->WMFCheck};
  for (std::size_t i = 0; i < filter.Formats.size(); ++i) filter.Formats[i] = formats[i]->isChecked();
  filter.LimitImageSize = ui_->LimitImageSizeCheck->isChecked();
  filter.MinWidth = ui_->WidthEdit->value();
  filter.MinHeight = ui_->HeightEdit->value();
  filter.LimitFileSize = ui_->LimitFileSizeCheck->isChecked();
  filter.MinKilobytes = ui_->FileSizeEdit->value();
  return filter;
}

void TCopyPicturesForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous() && !listReady_ && !job_) StartListing();
}

void TCopyPicturesForm::done(int result) {
  StopJob();
  QDialog::done(result);
}

void TCopyPicturesForm::StopJob() {
  delete job_.data();
  job_ = nullptr;
}

void TCopyPicturesForm::LimitImageSizeCheckClick() {
  const bool on = ui_->LimitImageSizeCheck->isChecked();
  for (QWidget* widget : {static_cast<QWidget*>(ui_->WidthLabel), static_cast<QWidget*>(ui_->WidthEdit),
                          static_cast<QWidget*>(ui_->HeightLabel), static_cast<QWidget*>(ui_->HeightEdit)})
    widget->setEnabled(on);
}

void TCopyPicturesForm::LimitFileSizeCheckClick() {
  const bool on = ui_->LimitFileSizeCheck->isChecked();
  ui_->FileSizeLabel->setEnabled(on);
  ui_->FileSizeEdit->setEnabled(on);
}

void TCopyPicturesForm::ChangeDestButtonClick() {
  const QString folder = dialogs_->PickFolder(this, QStringLiteral("Select the destination directory"));
  if (!folder.isEmpty()) SetDestFolder(folder.toStdString());
}

void TCopyPicturesForm::SelectButtonClick() {
  if (!listReady_) {
    ShowWait(this, WaitText());
    return;
  }
  model_->Select(Filter());
}

void TCopyPicturesForm::UnselectButtonClick() { model_->Unselect(); }

void TCopyPicturesForm::CloseButtonClick() { reject(); }

void TCopyPicturesForm::HelpButtonClick() { ShowHelp(this, THelpTopic::Collect); }

// The rows in the order the file system returns them, then their dimensions.
void TCopyPicturesForm::StartListing() {
  listReady_ = false;
  SetRunning(true);
  ui_->ProgressBar->setRange(0, 0);  // a busy bar: the count is known only once the folder is listed
  auto rows = std::make_shared<std::vector<TCollectRow>>();
  const std::string saved = saveFolder_.empty() ? std::string() : saveFolder_ + "Saved/";
  job_ = new TBackgroundJob(
      "vdk-collectlist", 0,
      [this, rows, saved](TBackgroundJob& job, std::stop_token stop) {
        *rows = ListCollectRows(saved, library_, stop, job.Progress());
      },
      this);
  connect(job_, &TBackgroundJob::Finished, this, [this, rows] {
    model_->SetRows(std::move(*rows));
    ListingFinished();
  });
}

void TCopyPicturesForm::ListingFinished() {
  job_->deleteLater();
  job_ = nullptr;
  listReady_ = true;
  SetRunning(false);
  emit ListingEnded();
}

void TCopyPicturesForm::CopyButtonClick() {
  if (!listReady_) {
    ShowWait(this, WaitText());
    return;
  }
  if (job_) return;
  std::vector<std::string> paths = model_->CheckedPaths();
  if (paths.empty()) {
    ShowError(this, QStringLiteral("Please choose images by click \"select\" button first !"));
    return;
  }
  SetRunning(true);
  ui_->CloseButton->setText(QStringLiteral("&Cancel"));
  const int total = int(paths.size());
  job_ = new TBackgroundJob(
      "vdk-collect", total,
      [this, paths = std::move(paths), dest = AddSlash(destFolder_)](TBackgroundJob& job, std::stop_token stop) {
        // The question runs on the GUI thread; a stop while it waits skips.
        TFileTransfer transfer(
            TTransferKind::Copy, dest, [this, &job](const std::string& source, const std::string& target) {
              TOverwriteAnswer answer{TOverwriteChoice::Skip, false};
              job.Synchronize([&] {
                answer = dialogs_->AskOverwrite(this, QString::fromStdString(source), QString::fromStdString(target));
              });
              return answer;
            });
        const TItemProgress progress = job.Progress();
        for (std::size_t i = 0; i < paths.size() && !stop.stop_requested(); ++i) {
          transfer.Transfer(paths[i], stop);
          progress(int(i) + 1);
        }
      },
      this);
  connect(job_, &TBackgroundJob::ProgressChanged, this, &TCopyPicturesForm::ShowProgress);
  connect(job_, &TBackgroundJob::Finished, this, &TCopyPicturesForm::CopyFinished);
}

// Failed copies are not reported; the run still ends with its notice.
void TCopyPicturesForm::CopyFinished() {
  job_->deleteLater();
  job_ = nullptr;
  SetRunning(false);
  ui_->CloseButton->setText(QStringLiteral("&Close"));
  ShowInformation(this, QStringLiteral("Selected images copied !"));
  emit CopyEnded();
}

void TCopyPicturesForm::SetRunning(bool running) {
  for (QPushButton* button : {ui_->CopyButton, ui_->SelectButton, ui_->UnselectButton}) button->setEnabled(!running);
  ui_->ProgressBar->setRange(0, 100);
  ui_->ProgressBar->setValue(0);
  ui_->StateLabel->clear();
}

void TCopyPicturesForm::ShowProgress(int done, int total) {
  ui_->ProgressBar->setRange(0, std::max(total, 1));
  ui_->ProgressBar->setValue(done);
  ui_->StateLabel->setText(done == 0 ? QString() : QStringLiteral("%1 of %2").arg(done).arg(total));
}

}  // namespace vdk
