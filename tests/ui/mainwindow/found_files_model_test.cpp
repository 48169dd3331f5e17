// The found-files list: what its rows show, and how the changes of a crawl
// reach the view gathered, in order, without a row that is no longer there.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "core/model/task.h"
#include "support/qt_printers.h"
#include "ui/mainwindow/found_files_model.h"

namespace vdk {
namespace {

using Model = TFoundFilesModel;

struct FoundFilesTest : ::testing::Test {
  TTask task;
  Model model;
  std::vector<std::shared_ptr<TTaskItem>> items;

  FoundFilesTest() {
    task.URL.SetURI("http://h/");
    task.ItemsView = &model;
    for (const char* url : {"http://h/a.html", "http://h/b.jpg", "http://h/c", "http://h/d.png"}) {
      auto item = std::make_shared<TTaskItem>(&task, url);
      item->Depth = 1;
      task.Items.Append(item);
      items.push_back(item);
    }
  }
  QString Cell(int row, int column) const { return model.index(row, column).data().toString(); }

  // More items of the task, each with the row the run control would make.
  std::vector<TItemRow> MoreRows(int count) {
    std::vector<TItemRow> rows;
    for (int i = 0; i < count; ++i) {
      const std::string url = "http://h/p" + std::to_string(items.size()) + ".jpg";
      items.push_back(std::make_shared<TTaskItem>(&task, url));
      rows.push_back({items.back().get(), 0, {url, ".jpg", "---", "1", "---"}});
    }
    return rows;
  }
  std::vector<std::string> URLs() const {
    std::vector<std::string> urls;
    for (int row = 0; row < model.rowCount(); ++row) urls.push_back(Cell(row, Model::kURLColumn).toStdString());
    return urls;
  }
  std::string URLOf(std::size_t item) const { return items[item]->URL().URI(); }
};

TEST_F(FoundFilesTest, RowsShowTheItemsCellsAndGoWhenTheirItemIsDone) {
  task.ShowItems();
  model.Flush();
  ASSERT_EQ(model.rowCount(), 4);
  EXPECT_EQ(Cell(1, Model::kURLColumn), "http://h/b.jpg");
  EXPECT_EQ(Cell(1, Model::kTypeColumn), ".jpg");
  EXPECT_EQ(Cell(1, Model::kSizeColumn), "---");
  EXPECT_EQ(Cell(1, Model::kDepthColumn), "1");
  EXPECT_EQ(Cell(1, Model::kCompletedColumn), "---");
  EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Size(b)");

  model.SetRowProgress(items[2].get(), "2048", "50%");
  EXPECT_EQ(Cell(2, Model::kSizeColumn), "2048");
  EXPECT_EQ(Cell(2, Model::kCompletedColumn), "50%");
  model.SetRowImage(items[2].get(), 1);
  EXPECT_EQ(model.ImageAt(2), 1);

  model.RemoveRow(items[1].get());
  model.Flush();
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.RowOf(items[1].get()), -1);
  EXPECT_EQ(model.RowOf(items[2].get()), 1) << "rows after a removed one are still found";
  EXPECT_EQ(model.RowOf(items[3].get()), 2);
  model.SetRowProgress(items[3].get(), "10", "100%");
  EXPECT_EQ(Cell(2, Model::kCompletedColumn), "100%");
}

TEST_F(FoundFilesTest, CallsForItemsWithoutARowChangeNothing) {
  model.AddRow(items[0].get(), 0, {"http://h/a.html", ".html", "---", "1", "---"});
  model.Flush();
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  model.SetRowProgress(items[1].get(), "1", "1%");
  model.SetRowImage(items[1].get(), 1);
  model.RemoveRow(items[1].get());
  EXPECT_FALSE(model.HasPending());
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(FoundFilesTest, ShowItemsListsTheItemsNotDoneInOrderInOneInsert) {
  items[1]->SetDone(true);
  items[3]->SetRunningFlag(true);
  model.AddRow(items[0].get(), 0, {"stale", "", "", "", ""});
  model.Flush();
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  task.ShowItems();
  model.Flush();
  EXPECT_EQ(reset.count(), 1) << "the stale row goes";
  EXPECT_EQ(inserted.count(), 1) << "every row in one change";
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(Cell(0, Model::kURLColumn), "http://h/a.html");
  EXPECT_EQ(Cell(1, Model::kURLColumn), "http://h/c");
  EXPECT_EQ(model.ImageAt(2), 1) << "a running item";
  EXPECT_EQ(model.ImageAt(0), 0);
  items[3]->SetRunningFlag(false);
}

TEST_F(FoundFilesTest, ClearingTheIconsAfterAStop) {
  items[0]->SetRunningFlag(true);
  items[2]->SetRunningFlag(true);
  task.ShowItems();
  model.Flush();
  EXPECT_EQ(model.ImageAt(0), 1);
  EXPECT_EQ(model.ImageAt(1), 0);
  EXPECT_EQ(model.ImageAt(2), 1);
  const std::vector<TItemRow> waiting = MoreRows(1);
  model.AddRows({{waiting[0].Item, 1, waiting[0].SubItems}});
  model.ClearItemIcons();
  model.Flush();
  ASSERT_EQ(model.rowCount(), 5);
  for (int row = 0; row < model.rowCount(); ++row) EXPECT_EQ(model.ImageAt(row), 0) << "row " << row;
  items[0]->SetRunningFlag(false);
  items[2]->SetRunningFlag(false);
}

TEST_F(FoundFilesTest, AClearedListKeepsNoItemAlive) {
  auto shown = std::make_shared<TTaskItem>(&task, "http://h/gone.gif");
  auto waiting = std::make_shared<TTaskItem>(&task, "http://h/waiting.gif");
  std::weak_ptr<TTaskItem> watchShown = shown, watchWaiting = waiting;
  model.AddRow(shown.get(), 0, {"http://h/gone.gif", ".gif", "---", "0", "---"});
  model.Flush();
  model.AddRow(waiting.get(), 0, {"http://h/waiting.gif", ".gif", "---", "0", "---"});
  shown.reset();
  waiting.reset();
  EXPECT_FALSE(watchShown.expired()) << "a listed row keeps its item, so its address cannot be reused";
  EXPECT_FALSE(watchWaiting.expired());
  model.ClearRows();
  EXPECT_TRUE(watchShown.expired());
  EXPECT_TRUE(watchWaiting.expired());
}

TEST_F(FoundFilesTest, ManyBatchesReachTheViewAsOneInsertion) {
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  const std::vector<TItemRow> rows = MoreRows(10000);
  for (std::size_t at = 0; at < rows.size(); at += 100)
    model.AddRows(
        {rows.begin() + static_cast<std::ptrdiff_t>(at), rows.begin() + static_cast<std::ptrdiff_t>(at + 100)});
  EXPECT_EQ(model.rowCount(), 0) << "nothing before the flush";
  EXPECT_TRUE(model.HasPending());
  model.Flush();
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 0);
  EXPECT_EQ(inserted[0][2].toInt(), 9999);
  ASSERT_EQ(model.rowCount(), 10000);
  for (int row : {0, 99, 100, 5555, 9999}) EXPECT_EQ(model.ItemAt(row), rows[static_cast<std::size_t>(row)].Item);
  model.Flush();
  EXPECT_EQ(inserted.count(), 1) << "a flush with nothing gathered tells the view nothing";
}

TEST_F(FoundFilesTest, AWorkingEventLoopFlushesAtMostOncePerInterval) {
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QElapsedTimer clock;
  clock.start();
  int batches = 0;
  while (clock.elapsed() < 3 * Model::kFlushMilliseconds) {
    model.AddRows(MoreRows(10));
    ++batches;
    QCoreApplication::processEvents();
  }
  const qint64 elapsed = clock.elapsed();
  model.Flush();
  EXPECT_EQ(model.rowCount(), batches * 10);
  // The first change after a quiet spell shows at once, the others at most
  // once per interval, and the last flush above.
  EXPECT_LE(inserted.count(), elapsed / Model::kFlushMilliseconds + 2) << batches << " batches";
  EXPECT_GE(inserted.count(), 2) << "the timer flushed while the loop ran";
}

TEST_F(FoundFilesTest, TheFlushComesByItselfAndTheNextWaitsItsInterval) {
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  model.AddRows(MoreRows(1));
  ASSERT_TRUE(inserted.wait(5000));
  QElapsedTimer clock;
  clock.start();
  model.AddRows(MoreRows(1));
  ASSERT_TRUE(inserted.wait(5000));
  EXPECT_GE(clock.elapsed(), Model::kFlushMilliseconds * 9 / 10);
  EXPECT_EQ(model.rowCount(), 2);
}

TEST_F(FoundFilesTest, ARowRemovedBeforeItWasShownIsNeverShown) {
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  std::vector<TItemRow> rows = MoreRows(3);
  std::weak_ptr<TTaskItem> watch = items[items.size() - 2];
  model.AddRows(rows);
  model.RemoveRow(rows[1].Item);
  model.SetRowProgress(rows[1].Item, "1", "1%");  // its worker's last report
  items.erase(items.end() - 2);
  EXPECT_TRUE(watch.expired()) << "a row that went keeps nothing alive";
  model.Flush();
  EXPECT_EQ(removed.count(), 0);
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(URLs(), (std::vector<std::string>{"http://h/p4.jpg", "http://h/p6.jpg"}));
}

TEST_F(FoundFilesTest, RemovedRowsStayUntilTheFlushAndGoOneRunAtATime) {
  task.ShowItems();
  model.Flush();
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  model.RemoveRow(items[1].get());
  model.RemoveRow(items[2].get());
  model.AddRows(MoreRows(1));
  model.RemoveRow(items[3].get());  // the end of another run, shown after both
  EXPECT_EQ(model.rowCount(), 4) << "the view has its rows until the flush";
  EXPECT_EQ(Cell(1, Model::kURLColumn), "http://h/b.jpg");
  EXPECT_EQ(model.RowOf(items[1].get()), -1) << "but the engine's calls no longer find them";
  model.Flush();
  EXPECT_EQ(removed.count(), 1) << "rows 1 to 3 in one change";
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(URLs(), (std::vector<std::string>{"http://h/a.html", "http://h/p4.jpg"}));
}

TEST_F(FoundFilesTest, ARowShownAgainMovesToTheEndOnce) {
  task.ShowItems();
  model.Flush();
  // A page found nearer the start waits to be fetched again.
  task.ItemsView->RemoveRow(items[0].get());
  task.ItemsView->AddRows({{items[0].get(), 0, {URLOf(0), ".html", "---", "0", "---"}}});
  model.Flush();
  EXPECT_EQ(URLs(), (std::vector<std::string>{URLOf(1), URLOf(2), URLOf(3), URLOf(0)}));
  EXPECT_EQ(Cell(3, Model::kDepthColumn), "0");
}

TEST_F(FoundFilesTest, ClearRowsDropsWhatWaits) {
  task.ShowItems();
  model.Flush();
  model.RemoveRow(items[0].get());
  model.AddRows(MoreRows(2));
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  model.ClearRows();
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(model.rowCount(), 0) << "at once";
  EXPECT_FALSE(model.HasPending());
  model.AddRows(MoreRows(1));
  model.Flush();
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(URLs(), (std::vector<std::string>{"http://h/p6.jpg"})) << "only what came after the clear";
}

TEST_F(FoundFilesTest, CellsOfAWaitingRowShowWithIt) {
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  const std::vector<TItemRow> rows = MoreRows(2);
  model.AddRows(rows);
  model.SetRowImage(rows[1].Item, 1);
  model.SetRowProgress(rows[1].Item, "4096", "25%");
  EXPECT_EQ(changed.count(), 0) << "the view has no such row yet";
  model.Flush();
  EXPECT_EQ(model.ImageAt(1), 1);
  EXPECT_EQ(Cell(1, Model::kSizeColumn), "4096");
  EXPECT_EQ(Cell(1, Model::kCompletedColumn), "25%");
  model.SetRowProgress(rows[1].Item, "4096", "100%");
  EXPECT_EQ(changed.count(), 1) << "a shown row changes at once";
  EXPECT_EQ(Cell(1, Model::kCompletedColumn), "100%");
}

// A view over the list, as the main window has it.
struct FoundFilesViewTest : FoundFilesTest {
  QTreeView view;
  FoundFilesViewTest() {
    view.setModel(&model);
    view.setUniformRowHeights(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    KeepTopRowInPlace(&view, &model);
    view.resize(400, 200);
    view.show();
  }
  const TTaskItem* TopItem() const { return model.ItemAt(view.indexAt(QPoint(0, 0)).row()); }
};

TEST_F(FoundFilesViewTest, SelectionAndCurrentRowStayOnTheirItems) {
  const std::vector<TItemRow> rows = MoreRows(10);
  model.AddRows(rows);
  model.Flush();
  view.setCurrentIndex(model.index(5, 0));
  view.selectionModel()->select(model.index(7, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  model.RemoveRow(rows[1].Item);
  model.RemoveRow(rows[2].Item);
  model.RemoveRow(rows[6].Item);
  model.AddRows(MoreRows(3));
  model.Flush();
  EXPECT_EQ(model.ItemAt(view.currentIndex().row()), rows[5].Item);
  const QModelIndexList selected = view.selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 2);
  std::vector<const TTaskItem*> selectedItems;
  for (const QModelIndex& index : selected) selectedItems.push_back(model.ItemAt(index.row()));
  std::sort(selectedItems.begin(), selectedItems.end());
  std::vector<const TTaskItem*> expected{rows[5].Item, rows[7].Item};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(selectedItems, expected);
}

TEST_F(FoundFilesViewTest, TheTopRowStaysInPlaceWhenRowsAboveItGo) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const std::vector<TItemRow> rows = MoreRows(1000);
  model.AddRows(rows);
  model.Flush();
  view.scrollTo(model.index(500, 0), QAbstractItemView::PositionAtTop);
  ASSERT_EQ(TopItem(), rows[500].Item);
  for (int i = 0; i < 100; ++i) model.RemoveRow(rows[static_cast<std::size_t>(i)].Item);
  model.RemoveRow(rows[600].Item);
  model.AddRows(MoreRows(5));
  model.Flush();
  EXPECT_EQ(TopItem(), rows[500].Item);
}

TEST_F(FoundFilesViewTest, AListAtItsFirstRowStaysThere) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const std::vector<TItemRow> rows = MoreRows(100);
  model.AddRows(rows);
  model.Flush();
  for (int i = 0; i < 10; ++i) model.RemoveRow(rows[static_cast<std::size_t>(i)].Item);
  model.AddRows(MoreRows(1));
  model.Flush();
  EXPECT_EQ(view.verticalScrollBar()->value(), 0);
  EXPECT_EQ(TopItem(), rows[10].Item);
}

}  // namespace
}  // namespace vdk
