#include "ui/dialogs/web_site_page.h"

#include "ui/common/dialog_runner.h"
#include "ui/dialogs/add_file_form.h"
#include "ui/dialogs/list_rows.h"
#include "ui_web_site_page.h"

namespace vdk {

TWebSitePage::TWebSitePage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TWebSitePage>()) {
  ui_->setupUi(this);
  connect(ui_->SeekDeepSlider, &QSlider::valueChanged, ui_->SeekDeepValueLabel, qOverload<int>(&QLabel::setNum));
  connect(ui_->AddExcludeButton, &QPushButton::clicked, this, &TWebSitePage::AddExclude);
  connect(ui_->DeleteExcludeButton, &QPushButton::clicked, this, [this] { DeleteCurrentRow(*ui_->ExcludeListView); });
}

TWebSitePage::~TWebSitePage() = default;

void TWebSitePage::Fill(const TRegOptions& options) {
  ui_->SeekDeepSlider->setValue(options.SeekDeep);
  ui_->SeekDeepValueLabel->setNum(ui_->SeekDeepSlider->value());
  ui_->ExcludeListView->clear();
  for (const std::string& name : options.ExcludeFiles) AddRow(*ui_->ExcludeListView, {QString::fromStdString(name)});
}

void TWebSitePage::Store(TRegOptions& options) const {
  options.SeekDeep = ui_->SeekDeepSlider->value();
  options.ExcludeFiles.clear();
  for (const QStringList& row : Rows(*ui_->ExcludeListView)) options.ExcludeFiles.push_back(row.value(0).toStdString());
}

void TWebSitePage::AddExclude() {
  TAddFileForm form(this);
  if (RunDialog(form) == QDialog::Accepted) AddRow(*ui_->ExcludeListView, {form.FileName()});
}

}  // namespace vdk
