#include "ui/library/confirm_delete_form.h"

#include <QHeaderView>

#include "library/file_actions.h"
#include "ui/common/message_boxes.h"
#include "ui/library/checked_files_model.h"
#include "ui_confirm_delete_form.h"

namespace vdk {

TConfirmDeleteForm::TConfirmDeleteForm(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TConfirmDeleteForm>()),
      model_(new TCheckedFilesModel(this)),
      deleted_(std::make_shared<std::vector<std::string>>()) {
  ui_->setupUi(this);
  ui_->FilesListView->setModel(model_);
  ui_->FilesListView->header()->resizeSection(0, 330);
  connect(ui_->OKButton, &QPushButton::clicked, this, &TConfirmDeleteForm::OKButtonClick);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &TConfirmDeleteForm::reject);
}

TConfirmDeleteForm::~TConfirmDeleteForm() { StopJob(); }

void TConfirmDeleteForm::SetFiles(const std::vector<std::string>& paths) { model_->SetFiles(paths); }

void TConfirmDeleteForm::OKButtonClick() {
  if (job_) return;
  if (model_->rowCount() == 0) {
    ShowError(this, QStringLiteral("No image selected !"));
    accept();
    return;
  }
  std::vector<std::string> paths = model_->CheckedPaths();
  ui_->OKButton->setEnabled(false);
  ui_->FilesListView->setEnabled(false);
  ui_->ProgressBar->setRange(0, std::max<int>(int(paths.size()), 1));
  ui_->ProgressBar->setValue(0);
  ui_->ProgressBar->show();
  const int total = int(paths.size());
  // The job writes what it deleted before it ends, also when stopped (the
  // stop joins it), so Deleted() is complete once the job is gone.
  job_ = new TBackgroundJob(
      "vdk-delete", total,
      [paths = std::move(paths), deleted = deleted_](TBackgroundJob& job, std::stop_token stop) {
        for (const int position : DeleteFileEntries(paths, stop, job.Progress()))
          deleted->push_back(paths[std::size_t(position)]);
      },
      this);
  connect(job_, &TBackgroundJob::ProgressChanged, ui_->ProgressBar, &QProgressBar::setValue);
  connect(job_, &TBackgroundJob::Finished, this, [this] {
    job_->deleteLater();
    job_ = nullptr;
    emit DeletionEnded();
    accept();
  });
}

void TConfirmDeleteForm::done(int result) {
  const bool stopped = job_ != nullptr;
  StopJob();
  // A deletion stopped half-way still deleted files; the opener removes them
  // from its list as after "&OK".
  QDialog::done(stopped ? QDialog::Accepted : result);
}

void TConfirmDeleteForm::StopJob() {
  delete job_.data();
  job_ = nullptr;
}

}  // namespace vdk
