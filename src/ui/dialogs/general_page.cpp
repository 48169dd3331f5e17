#include "ui/dialogs/general_page.h"

#include "core/base/path_utils.h"
#include "core/model/task_input.h"
#include "ui/common/dialog_runner.h"
#include "ui/dialogs/add_file_mask_form.h"
#include "ui/dialogs/enable_controls.h"
#include "ui/dialogs/folder_picker.h"
#include "ui/dialogs/list_rows.h"
#include "ui_general_page.h"

namespace vdk {

TGeneralPage::TGeneralPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TGeneralPage>()) {
  ui_->setupUi(this);
  connect(ui_->BrowseButton, &QPushButton::clicked, this, &TGeneralPage::Browse);
  connect(ui_->AddMaskButton, &QPushButton::clicked, this, &TGeneralPage::AddMask);
  connect(ui_->DeleteMaskButton, &QPushButton::clicked, this, &TGeneralPage::DeleteMask);
  connect(ui_->ClearMaskButton, &QPushButton::clicked, ui_->MaskListView, &QTreeWidget::clear);
  connect(ui_->EnableFileLimitCheckBox, &QCheckBox::toggled, this, &TGeneralPage::UpdateLimitControls);
  connect(ui_->FolderEdit, &QLineEdit::textEdited, this, &TGeneralPage::FolderEdited);
  UpdateLimitControls();
}

TGeneralPage::~TGeneralPage() = default;

void TGeneralPage::SetTitles(const QString& folderTitle, const QString& masksTitle) {
  ui_->FolderGroupBox->setTitle(folderTitle);
  ui_->MasksGroupBox->setTitle(masksTitle);
}

void TGeneralPage::Fill(const TRegOptions& options) {
  SetFolder(QString::fromStdString(options.DefaultFolder));
  ui_->MaskListView->clear();
  for (const std::string& mask : options.FileMasks) {
    const auto [ext, folder] = SplitMask(mask);
    AddRow(*ui_->MaskListView, {QString::fromStdString(ext), QString::fromStdString(folder)});
  }
  ui_->EnableFileLimitCheckBox->setChecked(options.EnableFileLimit);
  ui_->MaxSizeEdit->setText(QString::number(options.FileMaxSize));
  ui_->MinSizeEdit->setText(QString::number(options.FileMinSize));
  ui_->TimeOutSpinBox->setValue(options.TimeOut);
  UpdateLimitControls();
}

void TGeneralPage::Store(TRegOptions& options) const {
  options.DefaultFolder = AddSlash(Folder().toStdString());
  options.FileMasks.clear();
  for (const QStringList& row : Rows(*ui_->MaskListView))
    options.FileMasks.push_back(JoinMask(row.value(0).toStdString(), row.value(1).toStdString()));
  options.EnableFileLimit = ui_->EnableFileLimitCheckBox->isChecked();
  options.FileMaxSize = NumberFieldOr(ui_->MaxSizeEdit->text().toStdString(), 0);
  options.FileMinSize = NumberFieldOr(ui_->MinSizeEdit->text().toStdString(), 0);
  options.TimeOut = ui_->TimeOutSpinBox->value();
}

QString TGeneralPage::Folder() const { return ui_->FolderEdit->text(); }

void TGeneralPage::SetFolder(const QString& folder) { ui_->FolderEdit->setText(folder); }

void TGeneralPage::FocusFolder() { ui_->FolderEdit->setFocus(); }

void TGeneralPage::FocusMasks() { ui_->MaskListView->setFocus(); }

void TGeneralPage::Browse() {
  QString folder = Folder();
  if (PickFolder(this, QStringLiteral("Default folder"), folder)) {
    SetFolder(folder);
    emit FolderEdited();
  }
}

void TGeneralPage::AddMask() {
  TAddFileMaskForm form(this);
  if (RunDialog(form) == QDialog::Accepted) AddRow(*ui_->MaskListView, {form.ExtName(), form.TargetFolder()});
}

void TGeneralPage::DeleteMask() { DeleteCurrentRow(*ui_->MaskListView); }

void TGeneralPage::UpdateLimitControls() {
  EnableControls(
      {ui_->MaxSizeLabel, ui_->MaxSizeEdit, ui_->MaxKBLabel, ui_->MinSizeLabel, ui_->MinSizeEdit, ui_->MinKBLabel},
      ui_->EnableFileLimitCheckBox->isChecked());
}

}  // namespace vdk
