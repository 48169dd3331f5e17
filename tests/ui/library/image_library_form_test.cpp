// The library window over a library the tests build: records whose files
// exist, are gone, are folders or links; Verify, Delete, Clear, View and the
// preview mode, each way.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "library/image_library.h"
#include "picture_folder.h"
#include "scripted_dialogs.h"
#include "support/recorded_services.h"
#include "ui/imageview/image_view.h"
#include "ui/imageview/jpeg_browser.h"
#include "ui/imageview/picture_preview.h"
#include "ui/library/image_library_form.h"
#include "ui/library/image_library_model.h"

namespace vdk {
namespace {

using test::ReadFile;
using test::WriteFile;

bool EntryExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// pics/ holds red.jpg, blue.JPG, green.png, small.bmp (1023 bytes, not a
// picture), a link to outside/sentinel.jpg and a folder named like a picture;
// the library also names pics/gone.jpg, whose file is missing.
class LibraryForm : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir((dir_ / "pics").c_str(), 0700);
    ::mkdir((dir_ / "outside").c_str(), 0700);
    ::mkdir(Pic("folder.jpg").c_str(), 0700);
    WriteFile(Pic("folder.jpg") + "/inner.jpg", "inner");
    WriteFile(dir_ / "outside/sentinel.jpg", "keep");
    ::symlink((dir_ / "outside/sentinel.jpg").c_str(), Pic("link.jpg").c_str());
    test::DrawPicture(Pic("red.jpg"), 30, 20, Qt::red, "jpeg");
    test::DrawPicture(Pic("blue.JPG"), 20, 30, Qt::blue, "jpeg");
    test::DrawPicture(Pic("green.png"), 10, 10, Qt::green, "png");
    WriteFile(Pic("small.bmp"), std::string(1023, 's'));
    Add("red.jpg", 30, 20, 2048);
    Add("gone.jpg", 5, 5, 4096);
    Add("blue.JPG", 20, 30, 1024);
    Add("folder.jpg", 0, 0, 0);
    Add("green.png", 10, 10, 128);
    Add("link.jpg", 1, 1, 0);
    Add("small.bmp", -1, -1, 1023 / 128 * 128);
    form_.SetDialogs(test::ScriptedDialogs(script_));
  }

  std::string Pic(const std::string& name) const { return dir_ / ("pics/" + name); }
  void Add(const std::string& name, int width, int height, int size) {
    auto record = std::make_shared<TImageDetail>();
    record->FileName = Pic(name);
    record->Width = width;
    record->Height = height;
    record->FileSize = size;
    library_.Add(record);
  }

  void ShowAndList() {
    QSignalSpy ended(&form_, &TImageLibraryForm::ListingEnded);
    form_.show();
    ASSERT_TRUE(ended.wait(10000));
    ASSERT_FALSE(form_.IsLoading());
  }
  void WaitForJob() {
    ASSERT_NE(form_.Job(), nullptr);
    QSignalSpy finished(form_.Job(), &TBackgroundJob::Finished);
    ASSERT_TRUE(finished.wait(10000));
  }
  QString Cell(int row, int column) const { return form_.Model()->index(row, column).data().toString(); }
  QStringList Names() const {
    QStringList names;
    for (int row = 0; row < form_.Model()->rowCount(); ++row) names << Cell(row, TImageLibraryModel::NameColumn);
    return names;
  }
  void Select(const QStringList& names) {
    QTreeView* list = form_.ListView();
    list->clearSelection();
    for (int row = 0; row < form_.Model()->rowCount(); ++row)
      if (names.contains(Cell(row, TImageLibraryModel::NameColumn)))
        list->selectionModel()->select(form_.Model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  std::vector<std::string> LibraryNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < library_.Count(); ++i) names.push_back(library_.Items(i)->FileName.substr(Pic("").size()));
    return names;
  }

  test::TempDir dir_;
  TImageLibrary library_;
  test::DialogScript script_;
  test::RecordedBoxes boxes_;
  TImageLibraryForm form_{library_};
};

TEST_F(LibraryForm, ListsEveryRecordWithItsColumns) {
  ShowAndList();
  ASSERT_EQ(form_.Model()->rowCount(), 7);
  EXPECT_EQ(Names(),
            (QStringList{"red.jpg", "gone.jpg", "blue.JPG", "folder.jpg", "green.png", "link.jpg", "small.bmp"}));
  EXPECT_EQ(Cell(0, TImageLibraryModel::FullNameColumn), QString::fromStdString(Pic("red.jpg")));
  EXPECT_EQ(Cell(0, TImageLibraryModel::SizeColumn), "2 KB");
  EXPECT_EQ(Cell(6, TImageLibraryModel::SizeColumn), "0 KB");
  EXPECT_EQ(Cell(6, TImageLibraryModel::WidthColumn), "-1");
  EXPECT_EQ(Cell(6, TImageLibraryModel::HeightColumn), "-1");
  EXPECT_EQ(Cell(2, TImageLibraryModel::WidthColumn), "20");
  EXPECT_EQ(form_.Model()->IconIndex(0), form_.Model()->IconIndex(2)) << ".jpg and .JPG share one icon";
  EXPECT_EQ(form_.StatusText(0), "Total image(s): 7");
  EXPECT_TRUE(form_.findChild<QAction*>("VerifyAction")->isEnabled());
  EXPECT_EQ(form_.windowTitle(), "Library");
}

TEST_F(LibraryForm, AnEmptyLibraryListsNothingAndVerifyFindsNothing) {
  library_.Clear();
  ShowAndList();
  EXPECT_EQ(form_.Model()->rowCount(), 0);
  boxes_.Answer(QMessageBox::Yes);
  form_.VerifyButtonClick();
  WaitForJob();
  EXPECT_EQ(boxes_.Last().caption, "Information");
  EXPECT_EQ(boxes_.Last().text, "No valid record found !");
}

TEST_F(LibraryForm, VerifyRemovesTheRecordsOfMissingFilesAndFolders) {
  ShowAndList();
  boxes_.Answer(QMessageBox::No);
  form_.VerifyButtonClick();
  EXPECT_EQ(form_.Job(), nullptr);
  EXPECT_EQ(library_.Count(), 7);

  boxes_.Answer(QMessageBox::Yes);
  form_.VerifyButtonClick();
  EXPECT_EQ(boxes_.Shown().back().caption, "Question");
  EXPECT_EQ(boxes_.Shown().back().text,
            "Do you want to delete all invalid image records from library? It will take a few minutes.");
  EXPECT_FALSE(form_.findChild<QAction*>("ClearAction")->isEnabled()) << "no second job while one runs";
  WaitForJob();
  EXPECT_EQ(boxes_.Last().text, "2 record(s) has been deleted !");
  EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"red.jpg", "blue.JPG", "green.png", "link.jpg", "small.bmp"}));
  EXPECT_EQ(Names(), (QStringList{"red.jpg", "blue.JPG", "green.png", "link.jpg", "small.bmp"}));
  EXPECT_EQ(form_.StatusText(0), "Total image(s): 5");
  EXPECT_EQ(ReadFile(Pic("folder.jpg") + "/inner.jpg"), "inner") << "Verify touches no file";
}

TEST_F(LibraryForm, DeleteRemovesTheSelectedFilesButNeverAFoldersContents) {
  ShowAndList();
  Select({"red.jpg", "folder.jpg", "link.jpg"});
  boxes_.Answer(QMessageBox::No);
  form_.DeleteButtonClick();
  EXPECT_EQ(boxes_.Last().text, "Do you want to delete selected image(s)?");
  EXPECT_TRUE(EntryExists(Pic("red.jpg")));

  boxes_.Answer(QMessageBox::Yes);
  form_.DeleteButtonClick();
  WaitForJob();
  EXPECT_FALSE(EntryExists(Pic("red.jpg")));
  EXPECT_FALSE(EntryExists(Pic("link.jpg"))) << "the link itself goes";
  EXPECT_EQ(ReadFile(dir_ / "outside/sentinel.jpg"), "keep") << "not what it points to";
  EXPECT_EQ(ReadFile(Pic("folder.jpg") + "/inner.jpg"), "inner") << "a folder is refused";
  EXPECT_EQ(Names(), (QStringList{"gone.jpg", "blue.JPG", "green.png", "small.bmp"})) << "every selected row goes";
  EXPECT_EQ(library_.Count(), 7) << "records stay until Verify";

  form_.hide();
  ShowAndList();
  EXPECT_EQ(form_.Model()->rowCount(), 7) << "they show again at the next listing";
  boxes_.Answer(QMessageBox::Yes);
  form_.VerifyButtonClick();
  WaitForJob();
  EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"blue.JPG", "green.png", "small.bmp"}))
      << "Verify removes the deleted files' records, the folder's and the gone one";
}

TEST_F(LibraryForm, ClearCancelLeavesEverything) {
  ShowAndList();
  boxes_.Answer(QMessageBox::Cancel);
  form_.ClearButtonClick();
  EXPECT_EQ(boxes_.Last().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(library_.Count(), 7);
  EXPECT_EQ(form_.Model()->rowCount(), 7);
}

TEST_F(LibraryForm, ClearNoEmptiesTheLibraryAndKeepsTheFiles) {
  ShowAndList();
  boxes_.Answer(QMessageBox::No);
  form_.ClearButtonClick();
  EXPECT_EQ(form_.Job(), nullptr);
  EXPECT_EQ(library_.Count(), 0);
  EXPECT_EQ(form_.Model()->rowCount(), 0);
  EXPECT_EQ(form_.StatusText(0), "Total image(s): 0");
  for (const char* name : {"red.jpg", "blue.JPG", "green.png", "link.jpg", "small.bmp"})
    EXPECT_TRUE(EntryExists(Pic(name))) << name;
}

TEST_F(LibraryForm, ClearYesDeletesEveryFileButNoFolderOrLinkTarget) {
  ShowAndList();
  boxes_.Answer(QMessageBox::Yes);
  form_.ClearButtonClick();
  EXPECT_EQ(library_.Count(), 0);
  EXPECT_EQ(form_.StatusText(0), "Total image(s): 0");
  WaitForJob();
  for (const char* name : {"red.jpg", "blue.JPG", "green.png", "link.jpg", "small.bmp"})
    EXPECT_FALSE(EntryExists(Pic(name))) << name;
  EXPECT_EQ(ReadFile(Pic("folder.jpg") + "/inner.jpg"), "inner");
  EXPECT_EQ(ReadFile(dir_ / "outside/sentinel.jpg"), "keep");
}

TEST_F(LibraryForm, ViewOpensTheViewerOnTheSelectedRowWithEveryRow) {
  ShowAndList();
  form_.ViewButtonClick();
  EXPECT_EQ(script_.viewerOpened, 0) << "nothing selected";
  Select({"blue.JPG"});
  form_.ListView()->setFocus();
  QTest::keyClick(form_.ListView(), Qt::Key_Return);
  ASSERT_EQ(script_.viewerOpened, 1);
  EXPECT_EQ(script_.viewedIndex, 2);
  EXPECT_EQ(script_.viewedFiles.size(), 7);
  EXPECT_EQ(script_.viewedFiles.value(2), QString::fromStdString(Pic("blue.JPG")));
}

TEST_F(LibraryForm, PreviewModeShowsOnlyTheJpegAndBmpFilesThatAreThere) {
  ShowAndList();
  form_.PreviewActionExecute();
  ASSERT_TRUE(form_.InPreviewMode());
  EXPECT_TRUE(form_.Browser()->isVisibleTo(&form_));
  EXPECT_FALSE(form_.ViewPanel()->isVisibleTo(&form_));
  // gone.jpg is missing, folder.jpg is a folder, green.png is no thumbnail
  // format; small.bmp is there (its frame stays empty).
  EXPECT_EQ(form_.Browser()->Files(),
            (QStringList{QString::fromStdString(Pic("red.jpg")), QString::fromStdString(Pic("blue.JPG")),
                         QString::fromStdString(Pic("link.jpg")), QString::fromStdString(Pic("small.bmp"))}));
  EXPECT_EQ(form_.Browser()->Panels().size(), 4u);

  form_.Browser()->UnselectAll();
  TJpegPanel* blue = form_.Browser()->Panels()[1].get();
  QTest::mouseClick(form_.Browser()->viewport(), Qt::LeftButton, {}, blue->Geometry().center());
  ASSERT_EQ(form_.Browser()->Selected(), blue);
  EXPECT_EQ(form_.StatusText(0), "blue.JPG");
  form_.ViewButtonClick();
  EXPECT_EQ(script_.viewedIndex, 1);
  EXPECT_EQ(script_.viewedFiles, form_.Browser()->Files());

  boxes_.Answer(QMessageBox::Yes);
  form_.DeleteButtonClick();
  EXPECT_EQ(boxes_.Last().text, "Do you want to delete selected image?");
  EXPECT_FALSE(EntryExists(Pic("blue.JPG")));
  EXPECT_EQ(form_.Browser()->Panels().size(), 3u);
  EXPECT_EQ(form_.Browser()->Selected(), nullptr);
  EXPECT_EQ(form_.Model()->rowCount(), 7) << "the list keeps its rows";

  form_.PreviewActionExecute();
  EXPECT_FALSE(form_.InPreviewMode());
  EXPECT_TRUE(form_.ViewPanel()->isVisibleTo(&form_));
}

TEST_F(LibraryForm, TheSelectedRowIsPreviewedAndTurnsAQuarter) {
  ShowAndList();
  Select({"red.jpg"});
  EXPECT_EQ(form_.ViewPanel()->FileName(), QString::fromStdString(Pic("red.jpg")));
  const QImage& shown = form_.ViewPanel()->ImageScrollBox()->Picture();
  ASSERT_EQ(shown.size(), QSize(30, 20));
  const std::string before = ReadFile(Pic("red.jpg"));
  form_.TurnRightActionExecute();
  EXPECT_EQ(form_.ViewPanel()->ImageScrollBox()->Picture().size(), QSize(20, 30));
  form_.TurnLeftActionExecute();
  form_.TurnLeftActionExecute();
  EXPECT_EQ(form_.ViewPanel()->ImageScrollBox()->Picture().size(), QSize(20, 30));
  EXPECT_EQ(ReadFile(Pic("red.jpg")), before) << "only the preview turns";
  Select({});
  EXPECT_TRUE(form_.ViewPanel()->FileName().isEmpty());
}

// Closing mid-listing stops the pacing thread at once and no row follows.
TEST_F(LibraryForm, ClosingWhileListingStopsTheThread) {
  for (int i = 0; i < 200000; ++i) Add("many/" + std::to_string(i) + ".jpg", 1, 1, 0);
  form_.show();
  EXPECT_TRUE(form_.IsLoading());
  form_.reject();
  EXPECT_FALSE(form_.IsLoading());
  const int listed = form_.Model()->rowCount();
  QCoreApplication::processEvents();
  EXPECT_EQ(form_.Model()->rowCount(), listed);
  EXPECT_LT(listed, library_.Count());
}

}  // namespace
}  // namespace vdk
