#include "ui/dialogs/options_form.h"

#include "core/base/path_utils.h"
#include "core/model/task_input.h"
#include "core/net/default_proxy.h"
#include "ui/common/dialog_runner.h"
#include "ui/dialogs/enable_controls.h"
#include "ui/dialogs/folder_check.h"
#include "ui/dialogs/folder_picker.h"
#include "ui/dialogs/help.h"
#include "ui_options_form.h"

namespace vdk {
namespace {

void BrowseInto(QWidget* parent, QLineEdit* edit, const QString& title) {
  QString folder = edit->text();
  if (PickFolder(parent, title, folder)) edit->setText(folder);
}

}  // namespace

TOptionForm::TOptionForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TOptionForm>()) {
  ui_->setupUi(this);
  ui_->GeneralPage->SetTitles(QStringLiteral("Default folder :"), QStringLiteral("Default image extend names :"));
  connect(ui_->OKButton, &QPushButton::clicked, this, &TOptionForm::OKClicked);
  connect(ui_->HelpButton, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::DefaultOptions); });
  connect(ui_->UseProxyCheckBox, &QCheckBox::toggled, this, &TOptionForm::UpdateProxyControls);
  connect(ui_->LogBrowseButton, &QPushButton::clicked, this,
          [this] { BrowseInto(this, ui_->LogFolderEdit, QStringLiteral("Log folder")); });
  connect(ui_->ProjectBrowseButton, &QPushButton::clicked, this,
          [this] { BrowseInto(this, ui_->ProjectFolderEdit, QStringLiteral("Project folder")); });
  AddHelpKey(this, THelpTopic::DefaultOptions);
  UpdateProxyControls();
}

TOptionForm::~TOptionForm() = default;

void TOptionForm::Fill(const TRegOptions& options) {
  ui_->GeneralPage->Fill(options);
  ui_->WebSitePage->Fill(options);
  ui_->SchemeBox->Fill(options.Scheme);
  ui_->AutoShutDownCheckBox->setChecked(options.AutoShutDown);
  ui_->UseProxyCheckBox->setChecked(options.UseProxyServer);
  ui_->ProxyServerEdit->setText(QString::fromStdString(options.ProxyServerAddr));
  ui_->ProxyPortEdit->setText(QString::number(options.ProxyServerPort));
  ui_->LogFolderEdit->setText(QString::fromStdString(options.DefaultLogFolder));
  ui_->AutoSaveLogCheckBox->setChecked(options.AutoSaveLog);
  ui_->ProjectFolderEdit->setText(QString::fromStdString(options.ProjectPath));
  UpdateProxyControls();
}

void TOptionForm::Store(TRegOptions& options) const {
  ui_->GeneralPage->Store(options);
  ui_->WebSitePage->Store(options);
  ui_->SchemeBox->Store(options.Scheme);
  options.AutoShutDown = ui_->AutoShutDownCheckBox->isChecked();
  options.UseProxyServer = ui_->UseProxyCheckBox->isChecked();
  options.ProxyServerAddr = ui_->ProxyServerEdit->text().toStdString();
  options.ProxyServerPort = NumberFieldOr(ui_->ProxyPortEdit->text().toStdString(), 80);
  options.DefaultLogFolder = AddSlash(ui_->LogFolderEdit->text().toStdString());
  options.AutoSaveLog = ui_->AutoSaveLogCheckBox->isChecked();
  options.ProjectPath = AddSlash(ui_->ProjectFolderEdit->text().toStdString());
}

void TOptionForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui_->PageControl->setCurrentWidget(ui_->GeneralPage);
  ui_->GeneralPage->FocusMasks();
  ui_->SchemeBox->TypeChanged();
}

void TOptionForm::OKClicked() {
  // The three folders are created now, with their parents; one that cannot
  // be used keeps the dialog open at its page.
  if (!EnsureFolder(this, ui_->GeneralPage->Folder())) {
    ui_->PageControl->setCurrentWidget(ui_->GeneralPage);
    ui_->GeneralPage->FocusFolder();
    return;
  }
  for (auto [page, edit] : {std::pair{ui_->LogsPage, ui_->LogFolderEdit}, {ui_->ProjectPage, ui_->ProjectFolderEdit}}) {
    if (!EnsureFolder(this, edit->text())) {
      ui_->PageControl->setCurrentWidget(page);
      edit->setFocus();
      return;
    }
  }
  accept();
}

void TOptionForm::UpdateProxyControls() {
  EnableControls({ui_->ProxyServerLabel, ui_->ProxyServerEdit, ui_->ProxyPortLabel, ui_->ProxyPortEdit},
                 ui_->UseProxyCheckBox->isChecked());
}

bool EditDefaultOptions(QWidget* parent, TRegOptions& defaults) {
  TOptionForm form(parent);
  form.Fill(defaults);
  if (RunDialog(form) != QDialog::Accepted) return false;
  form.Store(defaults);
  SetDefaultProxy(defaults);
  return true;
}

}  // namespace vdk
