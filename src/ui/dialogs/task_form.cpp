#include "ui/dialogs/task_form.h"

#include <sys/stat.h>

#include <QFocusEvent>

#include "core/base/text_utils.h"
#include "core/model/task_factory.h"
#include "core/model/task_input.h"
#include "core/url/uri.h"
#include "ui/common/clipboard.h"
#include "ui/common/message_boxes.h"
#include "ui/dialogs/enable_controls.h"
#include "ui/dialogs/folder_check.h"
#include "ui/dialogs/help.h"
#include "ui_task_form.h"

namespace vdk {
namespace {

bool IsWebAddress(const std::string& url) {
  const TIdURI uri(url);
  const std::string scheme = LowerCase(uri.Protocol());
  return uri.IsValid() && (scheme == "http" || scheme == "https");
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

QString TaskExistsText(const QString& name) {
  return QStringLiteral("Sorry, a task named \"%1\" exists in this folder already, please change a name and try again!")
      .arg(name);
}

TTaskForm::TTaskForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TTaskForm>()) {
  ui_->setupUi(this);
  ui_->GeneralPage->SetTitles(QStringLiteral("Save folder :"), QStringLiteral("Image extend names :"));
  ui_->PasswordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
  ui_->PageTreeView->expandAll();
  connect(ui_->PageTreeView, &QTreeWidget::currentItemChanged, this, &TTaskForm::ShowPageOf);
  ui_->PageTreeView->setCurrentItem(ui_->PageTreeView->topLevelItem(0)->child(0));

  connect(ui_->SpecifiedAsURLCheckBox, &QCheckBox::toggled, this, &TTaskForm::SpecifiedAsURLToggled);
  connect(ui_->URLEdit, &QLineEdit::textChanged, this, &TTaskForm::URLChanged);
  connect(ui_->NameEdit, &QLineEdit::textChanged, this, &TTaskForm::NameChanged);
  ui_->URLEdit->installEventFilter(this);
  connect(ui_->LoginCheckBox, &QCheckBox::toggled, this, &TTaskForm::UpdateLoginControls);
  connect(ui_->PasteButton, &QPushButton::clicked, this, &TTaskForm::Paste);
  connect(ui_->CopyButton, &QPushButton::clicked, this, &TTaskForm::CopyURL);
  connect(ui_->OKButton, &QPushButton::clicked, this, &TTaskForm::OKClicked);
  connect(ui_->HelpButton, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::NewTask); });
  AddHelpKey(this, THelpTopic::NewTask);
  ShowNameReadOnly(ui_->SpecifiedAsURLCheckBox->isChecked());
  UpdateLoginControls();
}

TTaskForm::~TTaskForm() = default;

void TTaskForm::PrepareNew(const TRegOptions& defaults, const std::string& taskFolder,
                           const std::optional<std::string>& browserURL) {
  newTask_ = true;
  taskFolder_ = taskFolder;
  if (browserURL) {
    SetPasteAllowed(false);
    ui_->URLEdit->setText(QString::fromStdString(*browserURL));
  }
  ui_->GeneralPage->Fill(defaults);
  ui_->WebSitePage->Fill(defaults);
  ui_->SchemeBox->Fill(defaults.Scheme);
  setWindowTitle(QStringLiteral("New Task"));
}

void TTaskForm::PrepareEdit(const TTask& task) {
  newTask_ = false;
  setWindowTitle(QStringLiteral("Edit Task"));
  ui_->SpecifiedAsURLCheckBox->setEnabled(false);
  ui_->URLEdit->setText(QString::fromStdString(task.URL.Text()));
  ui_->URLEdit->setEnabled(false);
  ui_->PasteButton->setEnabled(false);
  ui_->NameEdit->setText(QString::fromStdString(task.Name));
  ui_->NoteEdit->setPlainText(QString::fromStdString(task.Note));
  ui_->GeneralPage->Fill(task.Options);
  ui_->WebSitePage->Fill(task.Options);
  ui_->SchemeBox->Fill(task.Options.Scheme);
  ui_->LoginCheckBox->setChecked(task.Options.NeedToLogin);
  ui_->UserNameEdit->setText(QString::fromStdString(task.Options.UserName));
  ui_->PasswordEdit->setText(QString::fromStdString(task.Options.Password));
  UpdateLoginControls();
}

void TTaskForm::StoreInto(TTask& task) const {
  task.Name = ui_->NameEdit->text().toStdString();
  task.URL.SetURI(ui_->URLEdit->text().toStdString());
  task.Note = ui_->NoteEdit->toPlainText().toStdString();
  ui_->GeneralPage->Store(task.Options);
  ui_->WebSitePage->Store(task.Options);
  ui_->SchemeBox->Store(task.Options.Scheme);
  task.Options.NeedToLogin = ui_->LoginCheckBox->isChecked();
  task.Options.UserName = ui_->UserNameEdit->text().toStdString();
  task.Options.Password = ui_->PasswordEdit->text().toStdString();
}

void TTaskForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  baseFolder_ = ui_->GeneralPage->Folder();
  ui_->SchemeBox->TypeChanged();
  if (!newTask_) return;
  ui_->SpecifiedAsURLCheckBox->setChecked(false);
  ui_->NameEdit->setFocus();
  if (pasteAllowed_) {
    const QString text = Clipboard().Text();
    if (LooksLikeURL(text.toStdString())) ui_->URLEdit->setText(text);
  }
}

bool TTaskForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->URLEdit && event->type() == QEvent::FocusOut) CompleteURLEdit();
  return QDialog::eventFilter(watched, event);
}

QWidget* TTaskForm::PageNamed(const QString& name) const {
  const std::pair<const char*, QWidget*> pages[] = {{"Name and URL", ui_->NameAndURLPage},
                                                    {"Note", ui_->NotePage},
                                                    {"General", ui_->GeneralPage},
                                                    {"Web site", ui_->WebSitePage},
                                                    {"Scheme", ui_->SchemePage}};
  for (const auto& [title, page] : pages)
    if (name == QLatin1String(title)) return page;
  return nullptr;
}

// The two parent nodes have no page: selecting them leaves the page in place.
void TTaskForm::ShowPageOf(QTreeWidgetItem* item) {
  if (QWidget* page = item ? PageNamed(item->text(0)) : nullptr) ui_->PageStack->setCurrentWidget(page);
}

void TTaskForm::ShowPage(QWidget* page, QWidget* focus) {
  for (QTreeWidgetItemIterator it(ui_->PageTreeView); *it; ++it) {
    if (PageNamed((*it)->text(0)) == page) {
      ui_->PageTreeView->setCurrentItem(*it);
      break;
    }
  }
  ui_->PageStack->setCurrentWidget(page);
  if (focus) focus->setFocus();
}

void TTaskForm::SpecifiedAsURLToggled(bool checked) {
  ShowNameReadOnly(checked);
  if (checked) URLChanged(ui_->URLEdit->text());
}

// A name that follows the URL is read-only and looks like the dialog's face.
void TTaskForm::ShowNameReadOnly(bool readOnly) {
  ui_->NameEdit->setReadOnly(readOnly);
  QPalette palette = ui_->NameEdit->palette();
  palette.setColor(QPalette::Base, this->palette().color(readOnly ? QPalette::Button : QPalette::Base));
  ui_->NameEdit->setPalette(palette);
}

void TTaskForm::URLChanged(const QString& url) {
  // A task being edited keeps its name: there the box is checked but disabled.
  if (!ui_->SpecifiedAsURLCheckBox->isChecked() || !ui_->SpecifiedAsURLCheckBox->isEnabled()) return;
  ui_->NameEdit->setText(QString::fromStdString(NameFromURL(url.toStdString(), taskFolder_)));
}

void TTaskForm::NameChanged(const QString& name) { ui_->GeneralPage->SetFolder(baseFolder_ + name + "/"); }

void TTaskForm::CompleteURLEdit() {
  const std::string url = ui_->URLEdit->text().toStdString();
  const std::string completed = CompleteURL(url);
  if (completed != url) ui_->URLEdit->setText(QString::fromStdString(completed));
}

void TTaskForm::UpdateLoginControls() {
  EnableControls({ui_->UserNameLabel, ui_->UserNameEdit, ui_->PasswordLabel, ui_->PasswordEdit},
                 ui_->LoginCheckBox->isChecked());
}

void TTaskForm::Paste() { ui_->URLEdit->setText(Clipboard().Text()); }

void TTaskForm::CopyURL() {
  const QString url = ui_->URLEdit->text();
  if (!url.trimmed().isEmpty()) Clipboard().SetText(url);
}

void TTaskForm::OKClicked() {
  if (newTask_) CompleteURLEdit();
  if (!CheckName() || !CheckURL()) return;
  if (!EnsureFolder(this, ui_->GeneralPage->Folder())) {
    ShowPage(ui_->GeneralPage, nullptr);
    ui_->GeneralPage->FocusFolder();
    return;
  }
  if (newTask_ && Exists(TaskFilePath(taskFolder_, ui_->NameEdit->text().toStdString()))) {
    ShowError(this, TaskExistsText(ui_->NameEdit->text()));
    ShowPage(ui_->NameAndURLPage, ui_->NameEdit);
    return;
  }
  accept();
}

bool TTaskForm::CheckName() {
  if (IsAcceptableTaskName(ui_->NameEdit->text().toStdString())) return true;
  ShowError(this, QStringLiteral("Sorry, the task name is invalid, please change a name and try again!"));
  ShowPage(ui_->NameAndURLPage, ui_->NameEdit);
  return false;
}

bool TTaskForm::CheckURL() {
  // The URL of a task being edited cannot be changed here, so it is not judged.
  if (!newTask_) return true;
  const std::string url = ui_->URLEdit->text().toStdString();
  if (!FitsTextField(url)) {
    ShowError(this, QStringLiteral("Sorry, the URL is too long, please use a URL of at most %1 bytes and try again!")
                        .arg(kMaxFieldText));
  } else if (!IsWebAddress(url)) {
    ShowError(this, QStringLiteral("Sorry, the URL is invalid, please change it and try again!"));
  } else {
    return true;
  }
  ShowPage(ui_->NameAndURLPage, ui_->URLEdit);
  return false;
}

}  // namespace vdk
