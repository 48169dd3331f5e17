#include <gtest/gtest.h>

#include <dirent.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <set>

#include "picture_folder.h"
#include "ui/imageview/jpeg_browser.h"
#include "ui/imageview/jpeg_panel.h"

namespace vdk {
namespace {

// Runs the event loop until the condition holds; false after the time-out.
template <typename Condition>
bool WaitFor(Condition condition, int timeoutMs = 60000) {
  return QTest::qWaitFor(condition, timeoutMs);
}

bool AllLoaded(const TJpegBrowser& browser) {
  for (const auto& panel : browser.Panels())
    if (!panel->Loaded()) return false;
  return true;
}

int LoaderThreads() {
  int count = 0;
  DIR* tasks = ::opendir("/proc/self/task");
  while (const dirent* entry = ::readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    const std::string comm = test::ReadFile("/proc/self/task/" + std::string(entry->d_name) + "/comm");
    if (comm.rfind("vdk-thumbs", 0) == 0) ++count;
  }
  ::closedir(tasks);
  return count;
}

TEST(ThumbnailRect, KeepsProportionsInsideTheBorder) {
  EXPECT_EQ(ThumbnailRect({100, 100}, 10, {300, 150}), QRect(QPoint(10, 30), QPoint(89, 69)));
  EXPECT_EQ(ThumbnailRect({100, 100}, 10, {150, 300}), QRect(QPoint(30, 10), QPoint(69, 89)));
  EXPECT_EQ(ThumbnailRect({100, 100}, 10, {50, 50}), QRect(QPoint(10, 10), QPoint(89, 89)));
  // 80 * 5 / 16 = 25 exactly; 80 * 3 / 32 = 7.5 rounds to even 8.
  EXPECT_EQ(ThumbnailRect({100, 100}, 10, {320, 100}).height(), 25);
  EXPECT_EQ(ThumbnailRect({100, 100}, 10, {320, 30}).height(), 8);
  EXPECT_TRUE(ThumbnailRect({100, 100}, 10, {}).isEmpty());
}

class JpegBrowser : public ::testing::Test {
 protected:
  void AddPictures(int count) {
    for (int i = 0; i < count; ++i)
      browser_.AddFile(QString::fromStdString(
          test::DrawPicture(dir_ / ("p" + std::to_string(i) + ".jpg"), 300, 150, Qt::red, "jpeg")));
  }
  test::TempDir dir_;
  TJpegBrowser browser_;
};

TEST_F(JpegBrowser, StartsEmptyAtItsDefaults) {
  EXPECT_EQ(browser_.size(), QSize(200, 200));
  EXPECT_EQ(browser_.PictureWidth(), 100);
  EXPECT_EQ(browser_.SplitterWidth(), 10);
  EXPECT_TRUE(browser_.Panels().empty());
  EXPECT_TRUE(browser_.Files().isEmpty());
  EXPECT_EQ(browser_.Selected(), nullptr);
}

TEST_F(JpegBrowser, AddFileIgnoresCase) {
  browser_.AddFile("/a/Photo.jpg");
  browser_.AddFile("/a/photo.JPG");
  browser_.AddFile("/a/Photo.jpg");
  browser_.AddFile("/a/other.jpg");
  EXPECT_EQ(browser_.Files(), (QStringList{"/a/Photo.jpg", "/a/other.jpg"}));
}

TEST_F(JpegBrowser, LaysCellsOutRowByRow) {
  AddPictures(3);
  browser_.resize(230, 300);
  browser_.BuildPanels();
  EXPECT_EQ(browser_.Columns(), 2);
  ASSERT_EQ(browser_.Panels().size(), 3u);
  EXPECT_EQ(browser_.Panels()[0]->Geometry(), QRect(0, 0, 100, 100));
  EXPECT_EQ(browser_.Panels()[1]->Geometry(), QRect(110, 0, 100, 100));
  EXPECT_EQ(browser_.Panels()[2]->Geometry(), QRect(0, 110, 100, 100));
  EXPECT_EQ(browser_.Panels()[2]->Index(), 2);
  EXPECT_EQ(browser_.Panels()[2]->Filename(), browser_.Files()[2]);
  EXPECT_EQ(browser_.Panels()[2]->PicBorderWidth(), 10);
}

TEST_F(JpegBrowser, ANarrowBrowserPutsEveryCellInTheFirstRow) {
  AddPictures(3);
  browser_.resize(100, 300);
  browser_.BuildPanels();
  EXPECT_EQ(browser_.Columns(), 0);
  EXPECT_EQ(browser_.Panels()[2]->Geometry().topLeft(), QPoint(220, 0));
}

TEST_F(JpegBrowser, LoadsScaledThumbnailsAndLeavesBrokenFilesEmpty) {
  AddPictures(2);
  test::WriteFile(dir_ / "broken.jpg", "not a picture");
  browser_.AddFile(QString::fromStdString(dir_ / "broken.jpg"));
  browser_.resize(400, 300);
  browser_.show();
  browser_.BuildPanels();
  ASSERT_TRUE(WaitFor([&] { return AllLoaded(browser_); }));
  const TJpegPanel& cell = *browser_.Panels()[0];
  EXPECT_LE(cell.Picture().width(), 80 * browser_.devicePixelRatio());
  EXPECT_EQ(cell.PictureSize(), QSize(300, 150));
  EXPECT_TRUE(browser_.Panels()[2]->Loaded());
  EXPECT_TRUE(browser_.Panels()[2]->Picture().isNull());
}

TEST_F(JpegBrowser, ClickSelectsAndRaisesTheEventsOnce) {
  AddPictures(3);
  browser_.resize(400, 300);
  browser_.show();
  browser_.BuildPanels();
  QSignalSpy clicked(&browser_, &TJpegBrowser::PanelClick);
  QSignalSpy doubled(&browser_, &TJpegBrowser::PanelDoubleClick);
  QTest::mouseClick(browser_.viewport(), Qt::LeftButton, {}, QPoint(150, 50));
  ASSERT_EQ(clicked.count(), 1);
  TJpegPanel* second = browser_.Panels()[1].get();
  EXPECT_EQ(clicked[0][0].value<TJpegPanel*>(), second);
  EXPECT_EQ(browser_.Selected(), second);
  EXPECT_TRUE(second->Selected());
  QTest::mouseClick(browser_.viewport(), Qt::LeftButton, {}, QPoint(150, 50));
  EXPECT_EQ(clicked.count(), 1);  // a press on the selected cell does nothing more
  QTest::mouseClick(browser_.viewport(), Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_FALSE(second->Selected());
  EXPECT_TRUE(browser_.Panels()[0]->Selected());
  QTest::mouseDClick(browser_.viewport(), Qt::LeftButton, {}, QPoint(50, 50));
  ASSERT_EQ(doubled.count(), 1);
  EXPECT_EQ(doubled[0][0].value<TJpegPanel*>(), browser_.Panels()[0].get());
  QTest::mouseClick(browser_.viewport(), Qt::LeftButton, {}, QPoint(105, 50));  // the gap
  EXPECT_EQ(browser_.Selected(), browser_.Panels()[0].get());
}

TEST_F(JpegBrowser, RemovingTheSelectedCellLeavesNoSelectionAndTheOthersInPlace) {
  AddPictures(3);
  browser_.resize(400, 300);
  browser_.show();
  browser_.BuildPanels();
  QTest::mouseClick(browser_.viewport(), Qt::LeftButton, {}, QPoint(150, 50));
  browser_.RemovePanel(browser_.Selected());
  EXPECT_EQ(browser_.Selected(), nullptr);
  ASSERT_EQ(browser_.Panels().size(), 2u);
  EXPECT_EQ(browser_.Panels()[1]->Index(), 2);
  EXPECT_EQ(browser_.Panels()[1]->Geometry().topLeft(), QPoint(220, 0));
  EXPECT_EQ(browser_.Files().size(), 3);
}

TEST(ThumbnailLoader, ServesPrioritizedRequestsFirst) {
  test::TempDir dir;
  TThumbnailLoader loader(1);
  std::vector<TThumbnailLoader::Key> order;
  QObject::connect(&loader, &TThumbnailLoader::Loaded,
                   [&](TThumbnailLoader::Key key, const QImage&, QSize) { order.push_back(key); });
  // The first decode takes a while, so the others are still queued.
  loader.Request(0, QString::fromStdString(test::DrawPicture(dir / "big.jpg", 3000, 2000, Qt::red, "png")), {80, 80});
  const QString path = QString::fromStdString(test::DrawPicture(dir / "p.jpg", 800, 600, Qt::red, "jpeg"));
  for (TThumbnailLoader::Key key = 1; key < 50; ++key) loader.Request(key, path, {80, 80});
  loader.Prioritize({49, 48});
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 50; }, 60000));
  // At most the one decode already under way comes before them.
  const auto at49 = std::find(order.begin(), order.end(), 49) - order.begin();
  const auto at48 = std::find(order.begin(), order.end(), 48) - order.begin();
  EXPECT_LE(at49, 1);
  EXPECT_EQ(at48, at49 + 1);
}

TEST(ThumbnailLoader, CancelledRequestsAreNeverDelivered) {
  test::TempDir dir;
  TThumbnailLoader loader(2);
  std::set<TThumbnailLoader::Key> delivered;
  QObject::connect(&loader, &TThumbnailLoader::Loaded,
                   [&](TThumbnailLoader::Key key, const QImage&, QSize) { delivered.insert(key); });
  const QString path = QString::fromStdString(test::DrawPicture(dir / "p.jpg", 400, 300, Qt::red, "jpeg"));
  for (TThumbnailLoader::Key key = 0; key < 100; ++key) loader.Request(key, path, {80, 80});
  for (TThumbnailLoader::Key key = 0; key < 100; key += 2) loader.Cancel(key);
  ASSERT_TRUE(QTest::qWaitFor([&] { return loader.Outstanding() == 0; }, 60000));
  QTest::qWait(50);  // deliveries already posted arrive
  for (TThumbnailLoader::Key key : delivered) EXPECT_EQ(key % 2, 1u) << key;
  EXPECT_EQ(delivered.size(), 50u);
}

// Thousands of cells, the window resized again and again while they load:
// a bounded number of loader threads, each file decoded once, nothing left
// running once the grid is cleared.
TEST(JpegBrowserStorm, ResizesDuringThousandsOfLoads) {
  test::TempDir dir;
  const std::string bytes = [&] {
    const std::string first = test::DrawPicture(dir / "seed.jpg", 640, 480, Qt::darkCyan, "jpeg");
    return test::ReadFile(first);
  }();
  constexpr int kFiles = 3000;
  TJpegBrowser browser(nullptr, 4);
  for (int i = 0; i < kFiles; ++i) {
    const std::string path = dir / ("storm" + std::to_string(i) + ".jpg");
    test::WriteFile(path, i % 97 == 0 ? std::string("broken") : bytes);
    browser.AddFile(QString::fromStdString(path));
  }
  browser.resize(800, 600);
  browser.show();
  browser.BuildPanels();
  EXPECT_EQ(LoaderThreads(), 4);
  for (int burst = 0; burst < 40; ++burst) {
    browser.resize(400 + (burst * 37) % 500, 300 + (burst * 53) % 400);
    browser.BuildPanels();  // as a window does on every resize
    browser.verticalScrollBar()->setValue((burst * 997) % std::max(1, browser.verticalScrollBar()->maximum()));
    QTest::qWait(1);
  }
  ASSERT_TRUE(WaitFor([&] { return AllLoaded(browser); }, 240000));
  EXPECT_LE(browser.Loader().Started(), kFiles);
  EXPECT_EQ(LoaderThreads(), 4);

  // Clearing mid-load cancels everything.
  browser.ClearFiles();
  for (int i = 0; i < 500; ++i) browser.AddFile(QString::fromStdString(dir / ("storm" + std::to_string(i) + ".jpg")));
  browser.BuildPanels();
  browser.ClearPanels();
  ASSERT_TRUE(WaitFor([&] { return browser.Loader().Outstanding() == 0; }, 60000));
}

}  // namespace
}  // namespace vdk
