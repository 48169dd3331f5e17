#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "ui/common/background_job.h"

namespace Ui {
class TConfirmDeleteForm;
}

namespace vdk {

class TCheckedFilesModel;

// "Confirm images delete action": the files a delete-by picked, each with a
// check box (checked at first). "&OK" deletes the checked files, one regular
// file or link at a time and never a folder's contents, on a background job
// with its progress, and closes when it is done; with no files it says "No
// image selected !" and closes. "&Cancel" (or closing) during the deletion
// stops it at once; Deleted() then holds the files deleted so far. Made for
// one modal showing. GUI thread only.
class TConfirmDeleteForm : public QDialog {
  Q_OBJECT
 public:
  explicit TConfirmDeleteForm(QWidget* parent = nullptr);
  ~TConfirmDeleteForm() override;

  void SetFiles(const std::vector<std::string>& paths);
  TCheckedFilesModel* Model() const { return model_; }
  // The files this window deleted.
  const std::vector<std::string>& Deleted() const { return *deleted_; }
  TBackgroundJob* Job() const { return job_.data(); }

 public slots:
  void OKButtonClick();

 signals:
  void DeletionEnded();

 protected:
  void done(int result) override;

 private:
  void StopJob();

  std::unique_ptr<Ui::TConfirmDeleteForm> ui_;
  TCheckedFilesModel* model_;
  std::shared_ptr<std::vector<std::string>> deleted_;
  QPointer<TBackgroundJob> job_;
};

}  // namespace vdk
