#include "ui/library/delete_by_run.h"

#include "library/delete_by.h"
#include "ui/common/dialog_runner.h"
#include "ui/common/wait_cursor.h"
#include "ui/library/confirm_delete_form.h"
#include "ui/library/delete_by_form.h"

namespace vdk {

std::vector<std::string> DeleteByExecute(QWidget* parent, const TImageLibrary& library,
                                         const std::vector<TSavedFile>& rows, const std::string& savedFolder) {
  TDeleteByForm form(parent);
  if (RunDialog(form) != QDialog::Accepted) return {};
  std::vector<std::string> candidates;
  {
    TWaitCursor wait;
    candidates = DeleteByCandidates(form.Choice(), rows, library, savedFolder);
  }
  TConfirmDeleteForm confirm(parent);
  confirm.SetFiles(candidates);
  if (RunDialog(confirm) != QDialog::Accepted) return {};
  return confirm.Deleted();
}

}  // namespace vdk
