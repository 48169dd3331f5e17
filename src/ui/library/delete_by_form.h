#pragma once

#include <QDialog>
#include <memory>

#include "library/delete_by.h"

namespace Ui {
class TDeleteByForm;
}

namespace vdk {

// "Delete by ...": one criterion (picture size, file size at most, a size
// range, or a file-name pattern) with its values; choosing a criterion
// enables its inputs and disables the others. "&OK" refuses a file filter
// that is not a bare name pattern, so the filter never leaves the task's
// "Saved" folder. Made for one modal showing. GUI thread only.
class TDeleteByForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDeleteByForm(QWidget* parent = nullptr);
  ~TDeleteByForm() override;

  TDeleteByChoice Choice() const;

 public slots:
  void accept() override;

 private:
  void CriterionChanged();

  std::unique_ptr<Ui::TDeleteByForm> ui_;
};

}  // namespace vdk
