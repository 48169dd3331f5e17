#pragma once

#include <QWidget>
#include <memory>

#include "core/model/reg_options.h"

namespace Ui {
class TGeneralPage;
}

namespace vdk {

// The "General" page of the Options and Task dialogs: the save folder, the
// extension list, the size limit and the time-out of a TRegOptions.
class TGeneralPage : public QWidget {
  Q_OBJECT

 public:
  explicit TGeneralPage(QWidget* parent = nullptr);
  ~TGeneralPage() override;

  // The group captions differ between the dialogs.
  void SetTitles(const QString& folderTitle, const QString& masksTitle);

  void Fill(const TRegOptions& options);
  // Stores the page: the folder with a trailing "/", sizes that are not
  // numbers as 0, one mask per row in row order.
  void Store(TRegOptions& options) const;

  QString Folder() const;
  void SetFolder(const QString& folder);
  // Puts the focus in the folder edit or in the extension list.
  void FocusFolder();
  void FocusMasks();

 signals:
  void FolderEdited();

 private:
  void Browse();
  void AddMask();
  void DeleteMask();
  void UpdateLimitControls();

  std::unique_ptr<Ui::TGeneralPage> ui_;
};

}  // namespace vdk
