#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QSignalSpy>
#include <QTest>

#include "library/picture_reader.h"
#include "picture_folder.h"
#include "ui/imageview/image_view.h"
#include "ui/imageview/view_image_form.h"
#include "ui/imageview/viewer_state.h"
#include "ui/imageview/zoom.h"

namespace vdk {
namespace {

TEST(ZoomFactor, FitShrinksButNeverEnlarges) {
  EXPECT_DOUBLE_EQ(ZoomFactor(TZoomMode::FitToPage, 100, {4000, 2000}, {1000, 1000}), 0.25);
  EXPECT_DOUBLE_EQ(ZoomFactor(TZoomMode::FitToPage, 100, {1000, 4000}, {1000, 1000}), 0.25);
  EXPECT_DOUBLE_EQ(ZoomFactor(TZoomMode::FitToPage, 100, {200, 100}, {1000, 1000}), 1.0);
  EXPECT_DOUBLE_EQ(ZoomFactor(TZoomMode::OriginalSize, 250, {4000, 2000}, {1000, 1000}), 1.0);
  EXPECT_DOUBLE_EQ(ZoomFactor(TZoomMode::Percent, 130, {4000, 2000}, {1000, 1000}), 1.3);
  EXPECT_DOUBLE_EQ(ZoomFactor(TZoomMode::FitToPage, 100, {}, {1000, 1000}), 1.0);
}

TEST(ViewerState, ZoomStepsStopAtThirtyAndHaveNoUpperLimit) {
  TViewerState state;
  EXPECT_EQ(state.Mode(), TZoomMode::FitToPage);
  state.ZoomIn();
  EXPECT_EQ(state.Zoom(), 110);
  EXPECT_EQ(state.Mode(), TZoomMode::Percent);
  for (int i = 0; i < 20; ++i) state.ZoomOut();
  EXPECT_EQ(state.Zoom(), 30);
  EXPECT_FALSE(state.ZoomOut());
  for (int i = 0; i < 100; ++i) state.ZoomIn();
  EXPECT_EQ(state.Zoom(), 1030);
}

TEST(ViewerState, ZoomTogglesBetweenFitAndOriginalKeepingThePercentage) {
  TViewerState state;
  state.ToggleZoom();
  EXPECT_EQ(state.Mode(), TZoomMode::OriginalSize);
  state.ToggleZoom();
  EXPECT_EQ(state.Mode(), TZoomMode::FitToPage);
  state.ZoomIn();
  state.ToggleZoom();  // percent -> fit
  EXPECT_EQ(state.Mode(), TZoomMode::FitToPage);
  EXPECT_EQ(state.Zoom(), 110);
}

TEST(ViewerState, TurnsWrapAndANewFileStartsUnturned) {
  TViewerState state;
  state.TurnLeft();
  EXPECT_EQ(state.Turns(), 3);
  state.TurnRight();
  state.TurnRight();
  EXPECT_EQ(state.Turns(), 1);
  state.SetFileName("b.jpg");
  EXPECT_EQ(state.Turns(), 0);
}

TEST(ViewerState, PagingStopsAtBothEndsAndKeepsTheZoom) {
  TViewerState state;
  state.SetFileList({"a", "b", "c"});
  state.SetFileIndex(0);
  state.SetFileName("a");
  state.ZoomIn();
  EXPECT_FALSE(state.Prev());
  EXPECT_EQ(state.FileName(), "a");
  EXPECT_TRUE(state.Next());
  EXPECT_TRUE(state.Next());
  EXPECT_EQ(state.FileName(), "c");
  EXPECT_EQ(state.FileIndex(), 2);
  EXPECT_FALSE(state.Next());
  EXPECT_TRUE(state.Prev());
  EXPECT_EQ(state.FileName(), "b");
  EXPECT_EQ(state.Zoom(), 110);
  EXPECT_EQ(state.Mode(), TZoomMode::Percent);
}

class Viewer : public ::testing::Test {
 protected:
  void SetUp() override {
    files_ << QString::fromStdString(test::DrawPicture(dir_ / "wide.jpg", 3000, 1000, Qt::red, "jpeg"))
           << QString::fromStdString(test::CopyAnimatedGif(dir_ / "anim.gif"))
           << QString::fromStdString(test::DrawPicture(dir_ / "small.png", 60, 40, Qt::green, "png"));
    viewer_.SetFileName(files_[0]);
    viewer_.ShowCurrent();
    viewer_.SetFileList(files_);
    viewer_.SetFileIndex(0);
    viewer_.show();
    viewer_.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&viewer_));  // the shortcuts need an active window
  }
  TImageView* View() { return viewer_.findChild<TImageView*>("ImageScrollBox"); }
  QLabel* Gif() { return viewer_.findChild<QLabel*>("GifImage"); }

  test::TempDir dir_;
  QStringList files_;
  TViewImageForm viewer_;
};

TEST_F(Viewer, IsBorderlessBlackAndHasItsMenuInOrder) {
  EXPECT_TRUE(viewer_.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(viewer_.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(viewer_.palette().color(QPalette::Window), QColor(Qt::black));
  QStringList items;
  for (QAction* action : viewer_.PopupMenu()->actions())
    items << (action->isSeparator() ? QStringLiteral("-")
                                    : action->text() + QLatin1Char(' ') + action->shortcut().toString());
  EXPECT_EQ(items, (QStringList{"Turn Left Ctrl+I", "Turn Right Ctrl+O", "-", "Zoom Ctrl+Z", "Zoom In Ctrl+J",
                                "Zoom Out Ctrl+K", "-", "Prev PgUp", "Next PgDown", "-", "Close Esc"}));
}

TEST_F(Viewer, FitsThePictureDecodedForTheScreen) {
  EXPECT_EQ(View()->OriginalSize(), QSize(3000, 1000));
  EXPECT_LE(View()->PictureRect().width(), View()->width());
  // Shown at its own size, the full picture is decoded.
  QTest::keyClick(&viewer_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(viewer_.State().Mode(), TZoomMode::OriginalSize);
  EXPECT_EQ(View()->Picture().size(), QSize(3000, 1000));
  EXPECT_EQ(View()->PictureRect().size(), QSize(3000, 1000));
}

TEST_F(Viewer, TurnsTheShownPictureWithTheShortcuts) {
  QTest::keyClick(&viewer_, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(viewer_.State().Turns(), 1);
  EXPECT_EQ(View()->OriginalSize(), QSize(1000, 3000));
  EXPECT_GT(viewer_.ShownPicture().height(), viewer_.ShownPicture().width());
  QTest::keyClick(&viewer_, Qt::Key_I, Qt::ControlModifier);
  QTest::keyClick(&viewer_, Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(viewer_.State().Turns(), 3);
  EXPECT_EQ(View()->OriginalSize(), QSize(1000, 3000));
}

TEST_F(Viewer, ZoomKeysAndTypedCharacters) {
  QTest::keyClick(&viewer_, Qt::Key_J, Qt::ControlModifier);
  EXPECT_EQ(View()->ZoomMode(), TZoomMode::Percent);
  EXPECT_EQ(View()->ZoomPercent(), 110);
  QTest::keyClicks(&viewer_, "+=");
  EXPECT_EQ(View()->ZoomPercent(), 130);
  QTest::keyClick(&viewer_, Qt::Key_K, Qt::ControlModifier);
  QTest::keyClicks(&viewer_, "-");
  EXPECT_EQ(View()->ZoomPercent(), 110);
  EXPECT_EQ(View()->PictureRect().width(), 3300);
}

TEST_F(Viewer, PagesThroughTheListKeepingTheZoom) {
  QTest::keyClick(&viewer_, Qt::Key_J, Qt::ControlModifier);
  QTest::keyClick(&viewer_, Qt::Key_PageUp);
  EXPECT_EQ(viewer_.State().FileIndex(), 0);
  QTest::keyClick(&viewer_, Qt::Key_PageDown);
  EXPECT_EQ(viewer_.State().FileName(), files_[1]);
  // A GIF plays in its own control; the picture view is hidden.
  EXPECT_FALSE(Gif()->isHidden());
  EXPECT_TRUE(View()->isHidden());
  ASSERT_NE(viewer_.Movie(), nullptr);
  EXPECT_EQ(viewer_.Movie()->currentImage().size(), QSize(16, 12));
  QTest::keyClick(&viewer_, Qt::Key_PageDown);
  EXPECT_EQ(viewer_.State().FileName(), files_[2]);
  EXPECT_TRUE(Gif()->isHidden());
  EXPECT_EQ(View()->ZoomPercent(), 110);
  EXPECT_EQ(View()->PictureRect().size(), QSize(66, 44));
  QTest::keyClick(&viewer_, Qt::Key_PageDown);
  EXPECT_EQ(viewer_.State().FileIndex(), 2);
}

TEST_F(Viewer, AFileThatCannotBeDecodedShowsNothingAndEscCloses) {
  test::WriteFile(dir_ / "broken.jpg", "not a picture");
  viewer_.SetFileName(QString::fromStdString(dir_ / "broken.jpg"));
  viewer_.ShowCurrent();
  EXPECT_TRUE(View()->IsEmpty());
  QSignalSpy rejected(&viewer_, &QDialog::rejected);
  QTest::keyClick(&viewer_, Qt::Key_Escape);
  EXPECT_EQ(rejected.count(), 1);
}

}  // namespace
}  // namespace vdk

namespace vdk {
namespace {

// The animation needs a GUI application, so it is tested with the windows.
TEST(GifAnimation, OpensOnlyForGifsWithinTheLimit) {
  test::TempDir dir;
  const std::unique_ptr<QMovie> movie = OpenGifAnimation(test::CopyAnimatedGif(dir / "anim.gif"));
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(movie->frameCount(), 2);
  ASSERT_TRUE(movie->jumpToFrame(0));
  EXPECT_EQ(movie->currentImage().pixelColor(3, 3), QColor(Qt::red));
  EXPECT_EQ(OpenGifAnimation(test::DrawPicture(dir / "photo.gif", 10, 10, Qt::red, "png")), nullptr);
  EXPECT_EQ(OpenGifAnimation(dir / "missing.gif"), nullptr);
}

}  // namespace
}  // namespace vdk
