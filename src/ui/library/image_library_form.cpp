// The library window: creation, the listing by the pacing thread, the
// preview of the selected row and its quarter turns, the status bar and
// closing, and the background jobs of the commands, which are in
// image_library_actions.cpp.

#include "ui/library/image_library_form.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QTransform>

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "library/image_library.h"
#include "library/library_verify.h"
#include "library/picture_reader.h"
#include "ui/common/message_boxes.h"
#include "ui/common/qt_synchronizer.h"
#include "ui/common/wait_cursor.h"
#include "ui/dialogs/help.h"
#include "ui/imageview/image_view.h"
#include "ui/imageview/jpeg_browser.h"
#include "ui/imageview/picture_preview.h"
#include "ui/library/image_library_model.h"
#include "ui_image_library_form.h"

namespace vdk {
namespace {

constexpr int kPreviewHeight = 156;
constexpr int kColumnWidths[] = {0, 120, 70, 70, 70};
constexpr int kStatusWidths[] = {140, 116, 50};
constexpr int kProgressWidth = 50;

bool IsGif(const QString& path) {
  return QString::fromStdString(LowerCase(ExtractFileExt(path.toStdString()))).trimmed() == QLatin1String(".gif");
}

QString ManyPicturesQuestion(int count) {
  return QStringLiteral(
             "The file contains %1 images.\nNote that for animations, all images\nmust be loaded in "
             "memory.\nLoad all images in memory?\n")
      .arg(count);
}

}  // namespace

TImageLibraryForm::TImageLibraryForm(TImageLibrary& library, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TImageLibraryForm>()),
      library_(library),
      model_(new TImageLibraryModel(this)),
      synchronizer_(std::make_shared<TQtSynchronizer>(QCoreApplication::instance())),
      dialogs_(MakeModalImagesDialogs()) {
  ui_->setupUi(this);
  SetUpToolBar();
  SetUpStatusBar();

  QTreeView* list = ListView();
  list->setModel(model_);
  QHeaderView* header = list->header();
  header->setSectionsClickable(false);
  header->setSectionResizeMode(TImageLibraryModel::FullNameColumn, QHeaderView::Stretch);
  for (int column = TImageLibraryModel::NameColumn; column < TImageLibraryModel::ColumnCount; ++column)
    header->resizeSection(column, kColumnWidths[column]);
  list->installEventFilter(this);
  ui_->Splitter->setStretchFactor(0, 1);
  ui_->Splitter->setSizes({height() - kPreviewHeight, kPreviewHeight});
  Browser()->installEventFilter(this);
  AddHelpKey(this, THelpTopic::Library);

  connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TImageLibraryForm::SelectionChanged);
  connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this, &TImageLibraryForm::SelectionChanged);
  connect(list, &QAbstractItemView::doubleClicked, this, &TImageLibraryForm::ViewButtonClick);
  connect(Browser(), &TJpegBrowser::PanelClick, this, &TImageLibraryForm::BrowserPanelClick);
  connect(Browser(), &TJpegBrowser::PanelDoubleClick, this, &TImageLibraryForm::ViewButtonClick);
}

TImageLibraryForm::~TImageLibraryForm() {
  StopListing();
  StopJob();
}

void TImageLibraryForm::SetDialogs(std::unique_ptr<TImagesDialogs> dialogs) { dialogs_ = std::move(dialogs); }

void TImageLibraryForm::SetUpToolBar() {
  const struct {
    QAction* action;
    const char* button;
    const char* icon;
    void (TImageLibraryForm::*handler)();
  } kButtons[] = {
      {ui_->VerifyAction, "VerifyButton", "view-refresh", &TImageLibraryForm::VerifyButtonClick},
      {ui_->DeleteAction, "DeleteButton", "edit-delete", &TImageLibraryForm::DeleteButtonClick},
      {ui_->ViewAction, "ViewButton", "zoom-fit-best", &TImageLibraryForm::ViewButtonClick},
      {ui_->ClearAction, "ClearButton", "edit-clear", &TImageLibraryForm::ClearButtonClick},
      {ui_->TurnLeftAction, "TurnLeftButton", "object-rotate-left", &TImageLibraryForm::TurnLeftActionExecute},
      {ui_->TurnRightAction, "TurnRightButton", "object-rotate-right", &TImageLibraryForm::TurnRightActionExecute},
      {ui_->PreviewAction, "PreviewButton", "view-grid", nullptr},
      {ui_->HelpAction, "HelpButton", "help-contents", &TImageLibraryForm::HelpButtonClick},
  };
  for (const auto& button : kButtons) {
    button.action->setIcon(QIcon::fromTheme(QString::fromLatin1(button.icon)));
    ui_->ToolBar->widgetForAction(button.action)->setObjectName(QString::fromLatin1(button.button));
    if (button.handler) connect(button.action, &QAction::triggered, this, button.handler);
  }
  connect(ui_->PreviewAction, &QAction::toggled, this, &TImageLibraryForm::SetPreviewMode);
}

void TImageLibraryForm::SetUpStatusBar() {
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panels_[i]->setMinimumWidth(kStatusWidths[i]);
  }
  panels_[1]->setText(QStringLiteral("Loading"));
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("LoadProgressBar"));
  progressBar_->setFixedWidth(kProgressWidth);
  progressBar_->setTextVisible(false);
  ui_->StatusBar->addWidget(panels_[0]);
  ui_->StatusBar->addWidget(panels_[1]);
  ui_->StatusBar->addWidget(progressBar_);
  ui_->StatusBar->addWidget(panels_[2], 1);
  panels_[1]->hide();
  progressBar_->hide();
}

QTreeView* TImageLibraryForm::ListView() const { return ui_->ImageLibListView; }

TPicturePreview* TImageLibraryForm::ViewPanel() const { return ui_->ViewPanel; }

TJpegBrowser* TImageLibraryForm::Browser() const { return ui_->JpegBrowser; }

bool TImageLibraryForm::InPreviewMode() const { return ui_->PreviewAction->isChecked(); }

QString TImageLibraryForm::StatusText(int panel) const { return panels_[panel]->text(); }

void TImageLibraryForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) StartListing();
}

void TImageLibraryForm::done(int result) {
  StopListing();
  StopJob();
  QDialog::done(result);
}

void TImageLibraryForm::StartListing() {
  StopListing();
  isLoading_ = true;
  panels_[1]->setText(QStringLiteral("Loading"));
  UpdateCommands();
  loadThread_ = std::make_unique<TLoadImageThread>(library_, static_cast<TLoadImageView&>(*this), synchronizer_);
}

void TImageLibraryForm::StopListing() {
  loadThread_.reset();
  if (!isLoading_) return;
  isLoading_ = false;
  UpdateCommands();
}

void TImageLibraryForm::UpdateCommands() {
  const bool busy = job_ != nullptr;
  ui_->VerifyAction->setEnabled(!isLoading_ && !busy);
  ui_->ClearAction->setEnabled(!isLoading_ && !busy);
  ui_->DeleteAction->setEnabled(!busy);
  panels_[1]->setVisible(isLoading_ || busy);
  progressBar_->setVisible(isLoading_ || busy);
}

void TImageLibraryForm::StartJob(const char* threadName, const QString& label, int total, TBackgroundJob::TWork work,
                                 std::function<void()> ended) {
  panels_[1]->setText(label);
  progressBar_->setRange(0, std::max(total, 1));
  progressBar_->setValue(0);
  job_ = new TBackgroundJob(threadName, total, std::move(work), this);
  connect(job_, &TBackgroundJob::ProgressChanged, progressBar_, &QProgressBar::setValue);
  connect(job_, &TBackgroundJob::Finished, this, [this, ended = std::move(ended)] {
    job_->deleteLater();
    job_ = nullptr;
    UpdateCommands();
    ended();
  });
  UpdateCommands();
}

void TImageLibraryForm::StopJob() {
  delete job_.data();
  job_ = nullptr;
}

void TImageLibraryForm::BeginListing(int count) {
  progressBar_->setRange(0, count);
  progressBar_->setValue(0);
  model_->Clear();
}

void TImageLibraryForm::AddRecords(const std::vector<TImageDetailPtr>& records, int index) {
  model_->Append(records);
  progressBar_->setValue(index);
}

void TImageLibraryForm::EndListing() {
  isLoading_ = false;
  UpdateCommands();
  ShowTotal();
  emit ListingEnded();
}

void TImageLibraryForm::ShowTotal() {
  panels_[0]->setText(QStringLiteral("Total image(s): %1").arg(model_->rowCount()));
}

int TImageLibraryForm::SelectedRow() const {
  const QItemSelectionModel* selection = ListView()->selectionModel();
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && selection->isRowSelected(current.row())) return current.row();
  const QModelIndexList rows = selection->selectedRows();
  if (rows.isEmpty()) return -1;
  return std::min_element(rows.begin(), rows.end())->row();
}

void TImageLibraryForm::SelectionChanged() {
  const int row = SelectedRow();
  if (row < 0) {
    ViewPanel()->Clear();
    return;
  }
  const QString path = model_->Path(row);
  if (path == ViewPanel()->FileName() || !CataloguedFileExists(path.toStdString())) return;
  ShowPreviewOf(path);
}

void TImageLibraryForm::ShowPreviewOf(const QString& path) {
  if (IsGif(path)) {
    ViewPanel()->ShowFile(path);
    return;
  }
  int count = 0;
  {
    TWaitCursor wait;
    count = CountPictures(path.toStdString());
  }
  if (count >= 2 && AskConfirm(this, ManyPicturesQuestion(count)))
    ViewPanel()->ShowAllPictures(path);
  else
    ViewPanel()->ShowFile(path);
}

void TImageLibraryForm::TurnLeftActionExecute() { Turn(-90); }

void TImageLibraryForm::TurnRightActionExecute() { Turn(90); }

// Only the preview turns; the file is not changed.
void TImageLibraryForm::Turn(int degrees) {
  TImageView* view = ViewPanel()->ImageScrollBox();
  if (SelectedRow() < 0 || view->IsEmpty()) return;
  const QImage turned = view->Picture().transformed(QTransform().rotate(degrees));
  view->SetPicture(turned, view->OriginalSize().transposed());
}

void TImageLibraryForm::HelpButtonClick() { ShowHelp(this, THelpTopic::Library); }

void TImageLibraryForm::BrowserPanelClick(TJpegPanel* panel) {
  const std::string path = panel->Filename().toStdString();
  panels_[0]->setText(QString::fromStdString(std::string(ExtractFileName(path))));
  panels_[2]->setText(panel->Filename());
}

bool TImageLibraryForm::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    panels_[2]->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QDialog::event(event);
}

bool TImageLibraryForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ViewButtonClick();
      return true;
    }
  }
  // A resize lays the thumbnails out again; their pictures are kept.
  if (watched == Browser() && event->type() == QEvent::Resize && InPreviewMode()) Browser()->BuildPanels();
  return QDialog::eventFilter(watched, event);
}

}  // namespace vdk
