#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QMovie>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <algorithm>

#include "library/image_library.h"
#include "picture_folder.h"
#include "scripted_dialogs.h"
#include "ui/imageview/ext_icons.h"
#include "ui/imageview/image_view.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/imageview/picture_preview.h"

namespace vdk {
namespace {

class ImagesPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    panel_.SetLibrary(&library_);
    panel_.SetDialogs(test::ScriptedDialogs(script_));
    panel_.resize(700, 400);
  }

  QStringList Captions() const {
    QStringList captions;
    for (int row = 0; row < panel_.Model()->rowCount(); ++row)
      captions << QString::fromStdString(panel_.Model()->Row(row).Caption);
    return captions;
  }
  int RowOf(const QString& caption) const { return int(Captions().indexOf(caption)); }
  void Select(const QString& caption) { panel_.ListView()->selectRow(RowOf(caption)); }
  QVariant Arrow(int column) const { return panel_.Model()->headerData(column, Qt::Horizontal, Qt::DecorationRole); }

  test::SavedFolder folder_;
  TImageLibrary library_;
  test::DialogScript script_;
  TImagesPanel panel_;
};

TEST_F(ImagesPanel, ListsTheSavedFolderWithSizesAndIcons) {
  panel_.ListSavedFolder(folder_.Saved());
  QStringList captions = Captions();
  captions.sort();
  EXPECT_EQ(captions,
            (QStringList{"anim.gif", "big.bmp", "broken.jpg", "green.png", "outside", "pipe.jpg", "red.jpg", "sub"}));
  const TSavedFile& bmp = panel_.Model()->Row(RowOf("big.bmp"));
  EXPECT_EQ(bmp.Ext, ".bmp");
  EXPECT_EQ(bmp.SizeText, "3 KB");  // 3654 bytes: 40 x 30 x 3 and the headers
  EXPECT_EQ(bmp.Path, folder_.Path("big.bmp"));
  EXPECT_EQ(panel_.Model()->data(panel_.Model()->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignRight | Qt::AlignVCenter);
  // Every file is pending for an empty library.
  EXPECT_EQ(panel_.PendingImages().size(), 8);
}

TEST_F(ImagesPanel, ExtensionsDifferingInCaseShareOneIcon) {
  test::DrawPicture(folder_.Path("upper.JPG"), 8, 8, Qt::red, "jpeg");
  panel_.ListSavedFolder(folder_.Saved());
  EXPECT_EQ(panel_.Model()->IconIndex(RowOf("upper.JPG")), panel_.Model()->IconIndex(RowOf("red.jpg")));
  EXPECT_NE(panel_.Model()->IconIndex(RowOf("red.jpg")), panel_.Model()->IconIndex(RowOf("green.png")));
  EXPECT_GE(panel_.Model()->IconIndex(RowOf("red.jpg")), 2);  // after the two sort arrows
}

TEST_F(ImagesPanel, FilesTheLibraryHoldsAreNotPending) {
  auto known = std::make_shared<TImageDetail>();
  known->FileName = folder_.Path("red.jpg");
  library_.Add(known);
  panel_.ListSavedFolder(folder_.Saved());
  EXPECT_EQ(panel_.PendingImages().size(), 7);
  EXPECT_FALSE(panel_.PendingImages().contains(QString::fromStdString(folder_.Path("red.jpg"))));
}

TEST_F(ImagesPanel, SizeHeaderCyclesItsArrowAndNameTakesItAway) {
  panel_.ListSavedFolder(folder_.Saved());
  QHeaderView* header = panel_.ListView()->horizontalHeader();
  const QPoint sizeHeader(header->sectionViewportPosition(2) + 5, 5);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
  EXPECT_EQ(panel_.Model()->Order().Sort(), TImagesSort::BySize);
  EXPECT_EQ(panel_.Model()->Order().Arrow(2), TSortArrow::Ascending);
  EXPECT_FALSE(Arrow(2).isNull());
  QStringList sizes;
  for (int row = 0; row < panel_.Model()->rowCount(); ++row)
    sizes << QString::fromStdString(panel_.Model()->Row(row).SizeText);
  EXPECT_EQ(sizes.last(), "3 KB");
  EXPECT_EQ(sizes.first(), "0 KB");

  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
  EXPECT_EQ(panel_.Model()->Order().Arrow(2), TSortArrow::Descending);
  EXPECT_EQ(panel_.Model()->Row(0).SizeText, "3 KB");
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
  EXPECT_EQ(panel_.Model()->Order().Arrow(2), TSortArrow::Ascending);

  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
  EXPECT_TRUE(Arrow(2).isNull());
  EXPECT_FALSE(Arrow(0).isNull());
  EXPECT_EQ(Captions(),
            (QStringList{"anim.gif", "big.bmp", "broken.jpg", "green.png", "outside", "pipe.jpg", "red.jpg", "sub"}));
}

TEST_F(ImagesPanel, SortActionsSortAndUnsortKeepsTheListingOrder) {
  panel_.ListSavedFolder(folder_.Saved());
  const QStringList listed = Captions();
  panel_.SortBy(TImagesSort::ByType);
  QStringList exts;
  for (int row = 0; row < panel_.Model()->rowCount(); ++row)
    exts << QString::fromStdString(panel_.Model()->Row(row).Ext);
  EXPECT_EQ(exts, (QStringList{"", "", "", ".bmp", ".gif", ".jpg", ".jpg", ".jpg", ".png"}).mid(1));
  panel_.SortBy(TImagesSort::Unsorted);
  panel_.ListSavedFolder(folder_.Saved());
  EXPECT_EQ(Captions(), listed);
}

TEST_F(ImagesPanel, DownloadRowsGoToTheirSortedPlace) {
  panel_.ListSavedFolder(folder_.Saved());
  panel_.ImagesView().AddFileRow("a-new.jpg", ".jpg", "7 KB", folder_.Path("a-new.jpg"));
  panel_.Model()->Flush();
  EXPECT_EQ(Captions().last(), "a-new.jpg");  // unsorted: appended
  panel_.SortBy(TImagesSort::ByName);
  panel_.ImagesView().AddFileRow("aa.jpg", ".jpg", "1 KB", folder_.Path("aa.jpg"));
  panel_.Model()->Flush();
  EXPECT_EQ(Captions().mid(0, 3), (QStringList{"a-new.jpg", "aa.jpg", "anim.gif"}));
  EXPECT_EQ(panel_.Model()->IconIndex(RowOf("aa.jpg")), TExtIcons::kNone);
}

TEST_F(ImagesPanel, DownloadRowsAreShownTogetherAndAListingDropsThoseWaiting) {
  panel_.ListSavedFolder(folder_.Saved());
  const int listed = panel_.Model()->rowCount();
  QSignalSpy inserted(panel_.Model(), &QAbstractItemModel::rowsInserted);
  for (int i = 0; i < 50; ++i) {
    const std::string name = "new-" + std::to_string(i) + ".jpg";
    panel_.ImagesView().AddFileRow(name, ".jpg", "1 KB", folder_.Path(name));
  }
  EXPECT_EQ(panel_.Model()->rowCount(), listed) << "not before the flush";
  ASSERT_TRUE(inserted.wait(5000)) << "the flush comes by itself";
  EXPECT_EQ(inserted.count(), 1) << "unsorted: one change for them all";
  ASSERT_EQ(panel_.Model()->rowCount(), listed + 50);
  EXPECT_EQ(Captions().last(), "new-49.jpg");

  panel_.ImagesView().AddFileRow("gone.jpg", ".jpg", "1 KB", folder_.Path("gone.jpg"));
  panel_.ListSavedFolder(folder_.Saved());  // the folder holds no such file
  panel_.Model()->Flush();
  EXPECT_EQ(RowOf("gone.jpg"), -1);
  EXPECT_EQ(panel_.Model()->rowCount(), listed);
}

TEST_F(ImagesPanel, SelectionFollowsItsRowThroughASort) {
  panel_.ListSavedFolder(folder_.Saved());
  Select("red.jpg");
  panel_.SortBy(TImagesSort::ByName);
  EXPECT_EQ(panel_.SelectedPaths(), QStringList{QString::fromStdString(folder_.Path("red.jpg"))});
}

TEST_F(ImagesPanel, ActionStatesFollowTheBindingRowsAndSelection) {
  QSignalSpy changed(&panel_, &TImagesPanel::ActionStatesChanged);
  EXPECT_EQ(panel_.ActionStates(), (TImageActionStates{false, false, false, false}));
  panel_.ListSavedFolder(QString::fromStdString(folder_.Root("empty-missing")));
  EXPECT_EQ(panel_.ActionStates(), (TImageActionStates{true, false, false, false}));
  panel_.ListSavedFolder(folder_.Saved());
  EXPECT_EQ(panel_.ActionStates(), (TImageActionStates{true, true, true, false}));
  Select("red.jpg");
  EXPECT_EQ(panel_.ActionStates(), (TImageActionStates{true, true, true, true}));
  panel_.Unbind();
  EXPECT_EQ(panel_.ActionStates(), (TImageActionStates{false, false, false, false}));
  EXPECT_GE(changed.count(), 4);
}

TEST_F(ImagesPanel, PreviewShowsPicturesAndPlaysGifsAtTheirOwnSize) {
  panel_.ListSavedFolder(folder_.Saved());
  panel_.show();
  TPicturePreview* preview = panel_.Preview();
  Select("red.jpg");
  EXPECT_TRUE(preview->GifImage()->isHidden());
  EXPECT_FALSE(preview->ImageScrollBox()->IsEmpty());
  EXPECT_EQ(preview->ImageScrollBox()->OriginalSize(), QSize(300, 200));
  EXPECT_EQ(preview->ImageScrollBox()->ZoomMode(), TZoomMode::FitToPage);

  Select("anim.gif");
  EXPECT_FALSE(preview->GifImage()->isHidden());
  EXPECT_TRUE(preview->ImageScrollBox()->isHidden());
  ASSERT_NE(preview->Movie(), nullptr);
  EXPECT_EQ(preview->Movie()->frameCount(), 2);
  EXPECT_EQ(preview->GifImage()->size(), QSize(16, 12));
  panel_.SetFit(false);
  EXPECT_EQ(preview->GifImage()->size(), QSize(16, 12));

  Select("broken.jpg");
  EXPECT_TRUE(preview->ImageScrollBox()->IsEmpty());
  panel_.ListView()->clearSelection();
  EXPECT_TRUE(preview->ImageScrollBox()->IsEmpty());
  EXPECT_TRUE(preview->FileName().isEmpty());
}

TEST_F(ImagesPanel, ZoomFitsALargePictureAndOffShowsItsOwnSize) {
  test::DrawPicture(folder_.Path("large.jpg"), 2400, 1600, Qt::yellow, "jpeg");
  panel_.ListSavedFolder(folder_.Saved());
  panel_.show();
  Select("large.jpg");
  TImageView* view = panel_.Preview()->ImageScrollBox();
  EXPECT_LE(view->PictureRect().width(), view->width());
  EXPECT_LE(view->PictureRect().height(), view->height());
  panel_.SetFit(false);
  EXPECT_EQ(view->Picture().size(), QSize(2400, 1600));
  EXPECT_EQ(view->PictureRect().size(), QSize(2400, 1600));
}

TEST_F(ImagesPanel, DoubleClickAndReturnOpenTheViewerOnTheListedFiles) {
  panel_.ListSavedFolder(folder_.Saved());
  panel_.show();
  const int row = RowOf("red.jpg");
  Select("red.jpg");
  const QRect cell = panel_.ListView()->visualRect(panel_.Model()->index(row, 0));
  QTest::mouseClick(panel_.ListView()->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(panel_.ListView()->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(script_.viewerOpened, 1);
  EXPECT_EQ(script_.viewedIndex, row);
  EXPECT_EQ(script_.viewedFiles, panel_.Model()->Paths());
  QTest::keyClick(panel_.ListView(), Qt::Key_Return);
  EXPECT_EQ(script_.viewerOpened, 2);
  panel_.ListView()->clearSelection();
  panel_.OpenViewer();
  EXPECT_EQ(script_.viewerOpened, 2);
}

}  // namespace
}  // namespace vdk
