// The main window's creation, its views, the selection of a tree node, the
// enabling rule and the 300 ms timer.

#include "ui/mainwindow/main_form.h"

#include <sys/stat.h>
#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>

#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "core/model/task.h"
#include "core/model/task_file_writer.h"
#include "core/settings/reg_settings.h"
#include "library/add_image_thread_list.h"
#include "library/image_library.h"
#include "library/library_queue.h"
#include "platform/registry_file.h"
#include "ui/common/message_boxes.h"
#include "ui/common/qt_synchronizer.h"
#include "ui/imageview/images_panel.h"
#include "ui/mainwindow/action_states.h"
#include "ui/mainwindow/found_files_model.h"
#include "ui/mainwindow/log_model.h"
#include "ui/mainwindow/main_actions.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/pictures.h"
#include "ui/mainwindow/product.h"
#include "ui/mainwindow/report_model.h"
#include "ui/mainwindow/task_runner.h"
#include "ui/mainwindow/task_tree.h"
#include "ui/mainwindow/tray_icon.h"
#include "ui/mainwindow/wait_form.h"
#include "ui_main_form.h"

namespace vdk {
namespace {

// The list's fill column takes the free width: its width plus the list's
// width minus every column's width, a scroll-bar arrow and 5.
void FitColumn(QTreeView* view, int column, int available) {
  const QHeaderView* header = view->header();
  int sum = 0;
  for (int i = 0; i < header->count(); ++i) sum += header->sectionSize(i);
  const int arrow = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int width = header->sectionSize(column) + available - sum - arrow - 5;
  if (width > 20) view->setColumnWidth(column, width);
}

// The report's "Description" takes the rest of the state panel; in a narrow
// panel it keeps the width of its texts and "Value" gives up room instead.
void FitReportColumns(QTreeView* view, int available) {
  const QHeaderView* header = view->header();
  const int arrow = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int name = header->sectionSize(TReportModel::kNameColumn);
  int value = header->sectionSize(TReportModel::kValueColumn);
  int needed = header->sectionSizeHint(TReportModel::kDescriptionColumn);
  for (const QString& text : TReportModel::Descriptions())
    needed = std::max(needed, view->fontMetrics().horizontalAdvance(text) + 12);
  const int rest = available - name - arrow - 5;
  value = std::clamp(rest - needed, 60, 150);
  view->setColumnWidth(TReportModel::kValueColumn, value);
  view->setColumnWidth(TReportModel::kDescriptionColumn, std::max(rest - value, needed));
}

}  // namespace

TMainForm::TMainForm(std::unique_ptr<TRegistry> registry, std::string home, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TMainForm>()), home_(std::move(home)) {
  ui_->setupUi(this);
  // The image library with its add-image workers.
  libraryFileName_ = AddSlash(home_) + "imglib.db";
  library_ = std::make_unique<TImageLibrary>();
  struct stat st;
  if (::stat(libraryFileName_.c_str(), &st) == 0) {
    try {
      library_->LoadFromFile(libraryFileName_);
    } catch (const EVendrakeError& e) {
      ReportLater(QString::fromUtf8(e.what()));
    }
  }
  for (int i = 0; i < library_->Count(); ++i) libraryLoadedPaths_.insert(library_->Items(i)->FileName);
  addImageWorkers_ = std::make_unique<TAddImageThreadList>(*library_);
  libraryQueue_ = std::make_unique<TLibraryQueue>(*addImageWorkers_);

  setWindowTitle(QString::fromLatin1(kApplicationTitle));
  setWindowIcon(Picture(QStringLiteral("vendrake")));
  SetUpViews();
  SetUpActions();
  SetUpImagesPanel();
  SetEnabled("TasksRunAction", false);
  SetEnabled("TasksStopAction", false);

  TTaskBinding binding;
  binding.Synchronizer = std::make_shared<TQtSynchronizer>(this);
  binding.ItemsView = foundFiles_;
  binding.LogView = log_;
  binding.ImagesView = &imagesPanel_->ImagesView();
  binding.ImageQueue = libraryQueue_.get();
  binding.OnFinished = [this](TTask& task) { TaskFinished(task); };
  runner_ = std::make_unique<TTaskRunner>(std::move(binding));
  taskWriter_ = std::make_unique<TTaskFileWriter>([this](const std::string& reason) {
    QMetaObject::invokeMethod(
        this, [this, text = QString::fromUtf8(reason)] { ShowError(this, text); }, Qt::QueuedConnection);
  });
  const auto* store = dynamic_cast<const TRegistryFile*>(registry.get());
  settings_ = std::make_unique<TRegSettings>(std::move(registry), AddSlash(home_));
  LoadSettings();
  if (store != nullptr && !store->KeptAs().empty())
    ReportLater(QStringLiteral("The settings store \"%1\" could not be read: it was kept as \"%2\" and the default "
                               "settings are used.")
                    .arg(QString::fromStdString(store->Path()), QString::fromStdString(store->KeptAs())));
  if (!settings_->Options.DefaultTaskAdded) CreateSampleTasks();
  BuildTree();

  tray_ = MakeTrayIcon();
  tray_->Install(Picture(QStringLiteral("vendrake")), QStringLiteral("Vendrake"), trayPopup_);
  connect(tray_.get(), &TTrayIcon::LeftClicked, this, &TMainForm::WinTaskbarClick);

  timer_.setInterval(kTimerMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &TMainForm::TimerTimer);
  timer_.start();
  tipTimer_.setInterval(kTipDelayMilliseconds);
  connect(&tipTimer_, &QTimer::timeout, this, &TMainForm::TipTimerTimer);
  tipTimer_.start();
  UpdateActions();
}

TMainForm::~TMainForm() {
  timer_.stop();
  // Every file handed to the writer is written before the window goes.
  taskWriter_.reset();
  // Workers of running tasks must not reach the views once they are gone.
  runner_.reset();
  // The listing thread reads the library, which goes before the panel.
  imagesPanel_->StopListing();
  if (addImageWorkers_) addImageWorkers_->Stop();
}

void TMainForm::SetUpViews() {
  tree_ = std::make_unique<TTaskTree>(ui_->TasksTreeView);
  connect(ui_->TasksTreeView, &QTreeWidget::itemSelectionChanged, this, &TMainForm::TasksTreeViewChange);
  connect(ui_->TasksTreeView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (QTreeWidgetItem* node = ui_->TasksTreeView->itemAt(at)) tree_->Select(node);
    treePopup_->popup(ui_->TasksTreeView->viewport()->mapToGlobal(at));
  });

  foundFiles_ = new TFoundFilesModel(this);
  QTreeView* items = ui_->ItemsListView;
  items->setModel(foundFiles_);
  items->setRootIsDecorated(false);
  items->setUniformRowHeights(true);
  items->setSelectionBehavior(QAbstractItemView::SelectRows);
  items->setEditTriggers(QAbstractItemView::NoEditTriggers);
  items->setSortingEnabled(false);
  items->header()->setStretchLastSection(false);
  items->setColumnWidth(TFoundFilesModel::kIconColumn, 30);
  items->setColumnWidth(TFoundFilesModel::kURLColumn, 220);
  items->setColumnWidth(TFoundFilesModel::kDepthColumn, 45);
  items->setColumnWidth(TFoundFilesModel::kCompletedColumn, 70);
  items->installEventFilter(this);
  KeepTopRowInPlace(items, foundFiles_);

  log_ = new TLogModel(this);
  ui_->LogView->setModel(log_);
  ui_->LogView->setUniformItemSizes(true);
  ui_->LogView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ui_->LogView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ui_->LogView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  FollowLastRow(ui_->LogView);

  report_ = new TReportModel(this);
  QTreeView* report = ui_->ReportListView;
  report->setModel(report_);
  report->setRootIsDecorated(false);
  report->setSelectionBehavior(QAbstractItemView::SelectRows);
  report->setEditTriggers(QAbstractItemView::NoEditTriggers);
  report->setAlternatingRowColors(true);
  report->header()->setStretchLastSection(false);
  report->setColumnWidth(TReportModel::kNameColumn, 70);
  report->setColumnWidth(TReportModel::kValueColumn, 150);
  report->setColumnWidth(TReportModel::kDescriptionColumn, 100);
  ui_->StatePanel->installEventFilter(this);

  ui_->StateTabSet->addTab(QStringLiteral("Log"));
  ui_->StateTabSet->addTab(QStringLiteral("Report"));
  ui_->StateTabSet->setShape(QTabBar::RoundedSouth);
  ui_->StateTabSet->setExpanding(false);
  // Tabs added to a bar not shown yet leave the layout with its empty size.
  ui_->StateTabSet->updateGeometry();
  connect(ui_->StateTabSet, &QTabBar::currentChanged, this, &TMainForm::TabSetChange);
  TabSetChange(0);

  // The initial sizes are those of a 717 x 534 window; a larger window gives
  // each pane its share of the room.
  ui_->MainSplitter->setSizes({241, 717 - 241});
  ui_->LeftSplitter->setSizes({300, 131});
  ui_->RightSplitter->setSizes({200, 247});
  ui_->MainSplitter->setStretchFactor(0, 1);
  ui_->MainSplitter->setStretchFactor(1, 2);
  ui_->LeftSplitter->setStretchFactor(0, 1);
  ui_->LeftSplitter->setStretchFactor(1, 1);
  ui_->RightSplitter->setStretchFactor(0, 1);
  ui_->RightSplitter->setStretchFactor(1, 1);

  firstPanel_ = new QLabel(this);
  firstPanel_->setObjectName(QStringLiteral("StatePanel0"));
  firstPanel_->setFixedWidth(5);
  hintPanel_ = new QLabel(this);
  hintPanel_->setObjectName(QStringLiteral("HintPanel"));
  ui_->StatusBar->addWidget(firstPanel_);
  ui_->StatusBar->addWidget(hintPanel_, 1);
  ui_->StatusBar->setSizeGripEnabled(true);

  waitForm_ = new TWaitForm(this);
}

void TMainForm::SetUpActions() {
  actions_ = new TMainActions(this);
  for (const TBarSpec& menu : MenuTable()) {
    auto* m = new QMenu(this);
    actions_->FillMenu(m, menu.Name);
    ui_->MainMenu->addMenu(m);
  }
  actions_->FillToolBar(ui_->StandardToolBar, "StandardToolBar");
  imageToolBar_ = new QToolBar(ui_->DownloadedFilesPanel);
  imageToolBar_->setIconSize(QSize(18, 18));
  actions_->FillToolBar(imageToolBar_, "ImageToolBar");
  ui_->DownloadedFilesPanel->layout()->addWidget(imageToolBar_);
  treePopup_ = new QMenu(this);
  actions_->FillMenu(treePopup_, "TasksTreePopupMenu");
  trayPopup_ = new QMenu(this);
  actions_->FillMenu(trayPopup_, "TrayPopupMenu");

  // Each action runs the slot named after it, when the window has one.
  const QMetaObject* meta = metaObject();
  for (const TActionSpec& spec : ActionTable()) {
    const QByteArray slot = QByteArray(spec.Name) + "Execute()";
    const int index = meta->indexOfSlot(slot.constData());
    if (index < 0) continue;
    connect(Action(QString::fromLatin1(spec.Name)), SIGNAL(triggered()), this, QByteArray("1" + slot).constData());
  }
}

QAction* TMainForm::Action(const QString& name) const { return actions_->Action(name); }
void TMainForm::Execute(const QString& name) { actions_->Execute(name); }
void TMainForm::SetEnabled(const char* action, bool on) { Action(QString::fromLatin1(action))->setEnabled(on); }

bool TMainForm::event(QEvent* event) {
  // The hint of the control or command under the mouse goes to the status
  // bar's second panel.
  if (event->type() == QEvent::StatusTip) {
    hintPanel_->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == ui_->ItemsListView)
      FitColumn(ui_->ItemsListView, TFoundFilesModel::kURLColumn, ui_->ItemsListView->width());
    if (watched == ui_->StatePanel) FitReportColumns(ui_->ReportListView, ui_->StatePanel->width());
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ReportLater(const QString& text) {
  // Shown once the current call (a worker's report, a timer tick) is over, so
  // that no modal loop runs inside the run control.
  QTimer::singleShot(0, this, [this, text] { ShowError(this, text); });
}

std::shared_ptr<TTask> TMainForm::TaskOfNode(QTreeWidgetItem* node) {
  if (node == nullptr || !IsTaskNode(TTaskTree::IconOf(node)) || !TTaskTree::ProblemOf(node).isEmpty()) return nullptr;
  try {
    return runner_->TaskOfPath(TTaskTree::PathOf(node));
  } catch (const EVendrakeError& e) {
    // It could be read when the tree was built; from now on it is shown as
    // what it is, and costs nothing else.
    tree_->MarkUnreadable(node, QString::fromUtf8(e.what()));
    return nullptr;
  }
}

std::shared_ptr<TTask> TMainForm::SelectedTask() { return TaskOfNode(tree_->Selected()); }

TSelectedNode TMainForm::KindOf(QTreeWidgetItem* node, std::shared_ptr<TTask>& task) {
  task = nullptr;
  if (node == nullptr) return TSelectedNode::None;
  if (node == tree_->Root()) return TSelectedNode::Root;
  const int icon = TTaskTree::IconOf(node);
  if (IsFolderNode(icon)) return TSelectedNode::Folder;
  if (IsTaskNode(icon)) task = TaskOfNode(node);
  return task ? TSelectedNode::Task : TSelectedNode::File;
}

void TMainForm::TasksTreeViewChange() {
  runner_->Tasks.ClearDisplayed();
  foundFiles_->ClearRows();
  if (const std::shared_ptr<TTask> task = SelectedTask()) {
    task->Displayed = true;
    task->ShowItems();
    foundFiles_->Flush();  // the selected task's rows show with the selection
  }
  UpdateActions();
}

void TMainForm::SetHooks(TMainFormHooks hooks) {
  hooks_ = std::move(hooks);
  UpdateActions();
}

void TMainForm::UpdateActions() {
  QTreeWidgetItem* node = tree_->Selected();
  std::shared_ptr<TTask> task;
  const TSelectedNode kind = KindOf(node, task);
  const bool running = task && !task->Stopped();
  const TActionStates states = DecideActions(kind, running, runner_->Tasks.RunningCount() > 0);
  // An action whose window is not hung on the window stays disabled.
  const auto apply = [this](const char* name, TSwitch value, bool wired = true) {
    if (!wired)
      SetEnabled(name, false);
    else if (value != TSwitch::Unchanged)
      SetEnabled(name, value == TSwitch::On);
  };
  apply("TasksDeleteAction", states.TasksDelete);
  apply("TasksNewFolderAction", states.NewFolder);
  apply("TasksPropAction", states.Properties);
  apply("TasksRunAction", states.Run);
  apply("TasksStopAction", states.Stop);
  apply("TasksRestartAction", states.Restart);
  apply("TasksSaveURLAction", states.SaveURL);
  apply("TasksCollectAction", states.Collect, bool(hooks_.Collect));
  ApplyImageRule(task, static_cast<int>(states.Images));
  if (states.Panel != TSwitch::Unchanged) ui_->DownloadedFilesPanel->setVisible(states.Panel == TSwitch::On);
  SetEnabled("TasksStopAllAction", states.StopAll);
  SetEnabled("TasksImportAction", bool(hooks_.Import));
  SetEnabled("TasksLibraryAction", bool(hooks_.Library));
}

void TMainForm::ApplyImageRule(const std::shared_ptr<TTask>& task, int rule) {
  // The list follows the folder of every task node: listed again on a
  // thread whenever its entries changed, so the window never waits for a
  // large folder; its own rule then sets the image actions, again when the
  // listing arrives.
  const auto images = static_cast<TImageActions>(rule);
  if (images == TImageActions::Disabled)
    imagesPanel_->Unbind();
  else if (images == TImageActions::ByPanel && task)
    imagesPanel_->ShowSavedFolder(QString::fromStdString(AddSlash(task->Options.DefaultFolder) + "Saved"));
  UpdateImageActions();
}

void TMainForm::UpdateTaskIcons() {
  for (QTreeWidgetItem* node : tree_->Nodes()) {
    if (!IsTaskNode(TTaskTree::IconOf(node))) continue;
    const std::shared_ptr<TTask> task = TaskOfNode(node);
    if (task) tree_->SetTaskIcon(node, !task->Stopped());
  }
}

void TMainForm::TabSetChange(int index) {
  ui_->StatePages->setCurrentIndex(index);
  if (ui_->StateTabSet->currentIndex() != index) ui_->StateTabSet->setCurrentIndex(index);
}

void TMainForm::TimerTimer() {
  ReportTick();
  CheckpointTick();
  ScheduleTick();
}

void TMainForm::ReportTick() {
  QTreeWidgetItem* node = tree_->Selected();
  const std::shared_ptr<TTask> task = TaskOfNode(node);
  if (!task) {
    report_->ClearReport();
    return;
  }
  if (ui_->StatePages->currentIndex() != 1) return;
  // The "Files" value also follows the last steps of a run that has just
  // ended, so a finished task never shows a count from before its end.
  if (report_->IsEmpty() || report_->Value(TReportModel::kNameRow) != QString::fromUtf8(task->Name))
    report_->FillReport(*task);
  else
    report_->UpdateReportFiles(*task);
}

}  // namespace vdk
