// The downloaded-files panel in the main window: its place below the image
// tool bar, the image actions that run its commands and follow its state,
// its pop-up menu, and the Build-in progress in the status bar.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>

#include "library/saved_files_order.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/mainwindow/main_actions.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/node_kinds.h"
#include "ui/mainwindow/task_tree.h"
#include "ui_main_form.h"

namespace vdk {
namespace {

// The sort actions by the sort they choose.
struct TSortAction {
  const char* Action;
  TImagesSort Sort;
};
constexpr TSortAction kSortActions[] = {
    {"ImagesUnsortAction", TImagesSort::Unsorted},
    {"ImagesSortByNameAction", TImagesSort::ByName},
    {"ImagesSortByTypeAction", TImagesSort::ByType},
    {"ImagesSortBySizeAction", TImagesSort::BySize},
};

}  // namespace

void TMainForm::SetUpImagesPanel() {
  imagesPanel_ = new TImagesPanel(ui_->DownloadedFilesPanel);
  ui_->DownloadedFilesPanel->layout()->addWidget(imagesPanel_);
  imagesPanel_->SetLibrary(library_.get());
  connect(imagesPanel_, &TImagesPanel::ActionStatesChanged, this, &TMainForm::UpdateImageActions);
  connect(imagesPanel_, &TImagesPanel::BuildInProgress, this, &TMainForm::ShowBuildInProgress);
  connect(imagesPanel_, &TImagesPanel::BuildInFinished, this, &TMainForm::EndBuildInProgress);
  // A click on a column header chooses that column's sort action.
  connect(imagesPanel_->Model(), &QAbstractItemModel::headerDataChanged, this, [this] {
    for (const TSortAction& sort : kSortActions)
      if (sort.Sort == imagesPanel_->Model()->Order().Sort())
        Action(QString::fromLatin1(sort.Action))->setChecked(true);
  });
  QTableView* list = imagesPanel_->ListView();
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* popup = new QMenu(this);
  actions_->FillMenu(popup, "ImagesPopupMenu");
  connect(list, &QWidget::customContextMenuRequested, this,
          [popup, list](const QPoint& at) { popup->popup(list->viewport()->mapToGlobal(at)); });
}

void TMainForm::UpdateImageActions() {
  const TImageActionStates states = imagesPanel_->ActionStates();
  const bool taskNode = IsTaskNode(TTaskTree::IconOf(tree_->Selected()));
  SetEnabled("ImagesOpenFolderAction", states.Folder && taskNode);
  SetEnabled("ImagesDeleteAllAction", states.DeleteAll);
  SetEnabled("ImagesDeleteByAction", states.DeleteAll && bool(hooks_.DeleteBy));
  SetEnabled("ImagesBuildInAction", states.BuildIn);
  for (const char* name :
       {"ImagesCopyToAction", "ImagesMoveToAction", "ImagesDeleteAction", "ImagesSetWallpaperAction"})
    SetEnabled(name, states.Selected);
}

void TMainForm::ImagesCopyToActionExecute() { imagesPanel_->CopyTo(); }
void TMainForm::ImagesMoveToActionExecute() { imagesPanel_->MoveTo(); }
void TMainForm::ImagesDeleteActionExecute() { imagesPanel_->DeleteSelected(); }
void TMainForm::ImagesDeleteAllActionExecute() { imagesPanel_->DeleteAll(); }
void TMainForm::ImagesSetWallpaperActionExecute() { imagesPanel_->SetWallpaper(); }
void TMainForm::ImagesOpenFolderActionExecute() { imagesPanel_->OpenFolder(); }
void TMainForm::ImagesBuildInActionExecute() { imagesPanel_->BuildIn(); }

void TMainForm::ImagesFitActionExecute() {
  imagesPanel_->SetFit(Action(QStringLiteral("ImagesFitAction"))->isChecked());
}

void TMainForm::ImagesUnsortActionExecute() { imagesPanel_->SortBy(TImagesSort::Unsorted); }
void TMainForm::ImagesSortByNameActionExecute() { imagesPanel_->SortBy(TImagesSort::ByName); }
void TMainForm::ImagesSortByTypeActionExecute() { imagesPanel_->SortBy(TImagesSort::ByType); }
void TMainForm::ImagesSortBySizeActionExecute() { imagesPanel_->SortBy(TImagesSort::BySize); }

void TMainForm::ApplyImageSettings() {
  imagesPanel_->SetFit(Action(QStringLiteral("ImagesFitAction"))->isChecked());
  for (const TSortAction& sort : kSortActions)
    if (Action(QString::fromLatin1(sort.Action))->isChecked()) imagesPanel_->SortBy(sort.Sort);
}

void TMainForm::ShowBuildInProgress(int done, int total) {
  if (buildInBar_ == nullptr) {
    // The first panel widens to show "Building" with a bar beside it.
    firstPanel_->setFixedWidth(150);
    firstPanel_->setText(QStringLiteral("Building"));
    buildInBar_ = new QProgressBar(firstPanel_);
    buildInBar_->setObjectName(QStringLiteral("BuildInBar"));
    buildInBar_->setTextVisible(false);
    buildInBar_->setGeometry(60, 3, 80, std::max(8, ui_->StatusBar->height() - 6));
    buildInBar_->show();
  }
  buildInBar_->setRange(0, std::max(total, 1));
  buildInBar_->setValue(done);
}

void TMainForm::EndBuildInProgress() {
  delete buildInBar_;
  buildInBar_ = nullptr;
  firstPanel_->setText({});
  firstPanel_->setFixedWidth(5);
}

}  // namespace vdk
