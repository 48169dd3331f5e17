#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "core/model/reg_options.h"
#include "core/model/task.h"

namespace Ui {
class TTaskForm;
}

class QTreeWidgetItem;

namespace vdk {

// The Task dialog of the "New" and "Properties" commands: a tree of pages
// (name and URL, note, general, web site, scheme) over a task's fields and
// options. The commands fill it (PrepareNew, PrepareEdit) and store it back
// into a task on OK (StoreInto); the dialog checks the name, the URL and the
// save folder on OK and creates the save folder.
class TTaskForm : public QDialog {
  Q_OBJECT

 public:
  explicit TTaskForm(QWidget* parent = nullptr);
  ~TTaskForm() override;

  // Whether the dialog of a new task may take its URL from the clipboard
  // when it opens; a browser request brings its own URL.
  void SetPasteAllowed(bool allowed) { pasteAllowed_ = allowed; }

  // "New Task" on the default options, for a task file in taskFolder: a name
  // whose task file exists there is refused. With a browser request its URL
  // fills the URL edit first (and names the task); the clipboard is then not
  // read.
  void PrepareNew(const TRegOptions& defaults, const std::string& taskFolder,
                  const std::optional<std::string>& browserURL = std::nullopt);
  // "Edit Task" on a task; its URL cannot be changed.
  void PrepareEdit(const TTask& task);

  // Every field the dialog shows, into the task; the options it does not
  // show (proxy and global-only settings) are left as they are.
  void StoreInto(TTask& task) const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* PageNamed(const QString& name) const;
  void ShowPageOf(QTreeWidgetItem* item);
  void ShowPage(QWidget* page, QWidget* focus);
  void SpecifiedAsURLToggled(bool checked);
  void ShowNameReadOnly(bool readOnly);
  void URLChanged(const QString& url);
  void NameChanged(const QString& name);
  void CompleteURLEdit();
  void UpdateLoginControls();
  void Paste();
  void CopyURL();
  void OKClicked();
  bool CheckURL();
  bool CheckName();

  std::unique_ptr<Ui::TTaskForm> ui_;
  bool newTask_ = false;
  bool pasteAllowed_ = true;
  bool shown_ = false;
  QString baseFolder_;
  std::string taskFolder_;
};

// The refusal of a new task whose task file exists already.
QString TaskExistsText(const QString& name);

}  // namespace vdk
