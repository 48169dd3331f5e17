#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QSignalSpy>
#include <QTableView>
#include <csignal>

#include "library/image_library.h"
#include "picture_folder.h"
#include "scripted_dialogs.h"
#include "support/recorded_services.h"
#include "support/recorded_wallpaper.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"

namespace vdk {
namespace {

using test::FileExists;
using test::ReadFile;

class ImagesPanelActions : public ::testing::Test {
 protected:
  void SetUp() override {
    panel_.SetLibrary(&library_);
    panel_.SetDialogs(test::ScriptedDialogs(script_));
    panel_.ListSavedFolder(folder_.Saved());
    ::mkdir(folder_.Root("target").c_str(), 0700);
    script_.folder = QString::fromStdString(folder_.Root("target"));
  }

  QStringList Captions() const {
    QStringList captions;
    for (int row = 0; row < panel_.Model()->rowCount(); ++row)
      captions << QString::fromStdString(panel_.Model()->Row(row).Caption);
    captions.sort();
    return captions;
  }
  void Select(const QStringList& names) {
    QTableView* list = panel_.ListView();
    list->clearSelection();
    for (int row = 0; row < panel_.Model()->rowCount(); ++row)
      if (names.contains(QString::fromStdString(panel_.Model()->Row(row).Caption)))
        list->selectionModel()->select(panel_.Model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  QStringList Entries(const std::string& folder) const {
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  }

  test::SavedFolder folder_;
  TImageLibrary library_;
  test::DialogScript script_;
  test::RecordedBoxes boxes_;
  TImagesPanel panel_;
};

TEST_F(ImagesPanelActions, DeleteAsksAndCancelKeepsEverything) {
  Select({"red.jpg"});
  boxes_.Answer(QMessageBox::Cancel);
  panel_.DeleteSelected();
  EXPECT_EQ(boxes_.Last().caption, "Question");
  EXPECT_EQ(boxes_.Last().text, "Do you want to delete selected images ?");
  EXPECT_EQ(boxes_.Last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_TRUE(FileExists(folder_.Path("red.jpg")));
}

TEST_F(ImagesPanelActions, DeleteRemovesFilesAndLinksButNeverAFoldersContents) {
  Select({"red.jpg", "green.png", "sub", "outside", "pipe.jpg"});
  boxes_.Answer(QMessageBox::Ok);
  panel_.DeleteSelected();
  EXPECT_FALSE(FileExists(folder_.Path("red.jpg")));
  EXPECT_FALSE(FileExists(folder_.Path("green.png")));
  EXPECT_EQ(ReadFile(folder_.Path("sub/inner.jpg")), "inner");
  EXPECT_EQ(ReadFile(folder_.Root("outside/sentinel.jpg")), "sentinel");
  EXPECT_EQ(Entries(folder_.Root("Saved")),
            (QStringList{"anim.gif", "big.bmp", "broken.jpg", "coming.jpg!!wr", "pipe.jpg", "sub"}));
  // Rows go with their files only.
  EXPECT_EQ(Captions(), (QStringList{"anim.gif", "big.bmp", "broken.jpg", "pipe.jpg", "sub"}));
}

TEST_F(ImagesPanelActions, DeleteAllAsksYesNoAndLeavesFoldersAndTheLinkTarget) {
  boxes_.Answer(QMessageBox::No);
  panel_.DeleteAll();
  EXPECT_EQ(boxes_.Last().text, "Delete all downloaded files ?");
  EXPECT_EQ(panel_.Model()->rowCount(), 8);
  boxes_.Answer(QMessageBox::Yes);
  panel_.DeleteAll();
  EXPECT_EQ(Entries(folder_.Root("Saved")), (QStringList{"coming.jpg!!wr", "pipe.jpg", "sub"}));
  EXPECT_EQ(ReadFile(folder_.Path("sub/inner.jpg")), "inner");
  EXPECT_EQ(ReadFile(folder_.Root("outside/sentinel.jpg")), "sentinel");
  EXPECT_EQ(Captions(), (QStringList{"pipe.jpg", "sub"}));
}

TEST_F(ImagesPanelActions, CopyToAskedCancelledDoesNothing) {
  Select({"red.jpg"});
  script_.folder.clear();
  panel_.CopyTo();
  EXPECT_EQ(script_.pickerTitles, QStringList{"Copy to ..."});
  EXPECT_TRUE(Entries(folder_.Root("target")).isEmpty());
}

TEST_F(ImagesPanelActions, CopyToAnswersEachClashWay) {
  test::WriteFile(folder_.Root("target/red.jpg"), "old red");
  test::WriteFile(folder_.Root("target/green.png"), "old green");
  test::WriteFile(folder_.Root("target/big.bmp"), "old bmp");
  Select({"red.jpg", "green.png", "big.bmp", "anim.gif"});
  script_.overwrite = {
      {TOverwriteChoice::Rename, false}, {TOverwriteChoice::Skip, false}, {TOverwriteChoice::Overwrite, false}};
  panel_.CopyTo();
  ASSERT_EQ(script_.clashes.size(), 3u);
  // The rows go first to last; the row order is the listing's.
  for (const auto& [source, target] : script_.clashes)
    EXPECT_EQ(QFileInfo(source).fileName(), QFileInfo(target).fileName());
  const QStringList copied = Entries(folder_.Root("target"));
  EXPECT_TRUE(copied.contains("anim.gif"));
  EXPECT_EQ(copied.size(), 5);  // three old names, one renamed copy, the gif
  // Every clash resolved as answered, whichever file met which answer.
  int renamed = 0, kept = 0, replaced = 0;
  for (const char* name : {"red.jpg", "green.png", "big.bmp"}) {
    const std::string old = ReadFile(folder_.Root(std::string("target/") + name));
    const bool same = old == ReadFile(folder_.Path(name));
    const std::string base = std::string(name).substr(0, std::string(name).find('.'));
    const std::string ext = std::string(name).substr(std::string(name).find('.'));
    if (FileExists(folder_.Root("target/" + base + "[0]" + ext)))
      ++renamed;
    else if (same)
      ++replaced;
    else
      ++kept;
  }
  EXPECT_EQ(renamed, 1);
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(kept, 1);
  EXPECT_EQ(panel_.Model()->rowCount(), 8);  // copied rows stay
}

TEST_F(ImagesPanelActions, DoNotPromptAppliesTheChoiceToTheRestOfTheRun) {
  test::WriteFile(folder_.Root("target/red.jpg"), "old");
  test::WriteFile(folder_.Root("target/green.png"), "old");
  Select({"red.jpg", "green.png", "big.bmp"});
  script_.overwrite = {{TOverwriteChoice::Rename, true}};
  panel_.CopyTo();
  EXPECT_EQ(script_.clashes.size(), 1u);
  EXPECT_EQ(Entries(folder_.Root("target")),
            (QStringList{"big.bmp", "green.png", "green[0].png", "red.jpg", "red[0].jpg"}));
}

TEST_F(ImagesPanelActions, CopyAndMoveIntoTheSameFolderLoseNothing) {
  Select({"red.jpg", "green.png"});
  script_.folder = folder_.Saved();
  const std::string red = ReadFile(folder_.Path("red.jpg"));
  panel_.CopyTo();
  panel_.MoveTo();
  EXPECT_TRUE(script_.clashes.empty());
  EXPECT_EQ(ReadFile(folder_.Path("red.jpg")), red);
  EXPECT_EQ(Captions().size(), 8);
  EXPECT_FALSE(FileExists(folder_.Path("red[0].jpg")));
}

TEST_F(ImagesPanelActions, MoveWithOverrideReplacesAndRemovesTheRow) {
  test::WriteFile(folder_.Root("target/red.jpg"), "old");
  const std::string red = ReadFile(folder_.Path("red.jpg"));
  Select({"red.jpg", "green.png"});
  script_.overwrite = {{TOverwriteChoice::Overwrite, false}};
  panel_.MoveTo();
  EXPECT_EQ(ReadFile(folder_.Root("target/red.jpg")), red);
  EXPECT_TRUE(FileExists(folder_.Root("target/green.png")));
  EXPECT_FALSE(FileExists(folder_.Path("red.jpg")));
  EXPECT_FALSE(Captions().contains("red.jpg"));
  EXPECT_FALSE(Captions().contains("green.png"));
}

TEST_F(ImagesPanelActions, MoveToAFolderThatCannotBeWrittenKeepsTheRows) {
  Select({"red.jpg", "sub"});
  script_.folder = QString::fromStdString(folder_.Root("gone"));
  panel_.MoveTo();
  EXPECT_TRUE(FileExists(folder_.Path("red.jpg")));
  EXPECT_TRUE(Captions().contains("red.jpg"));
  EXPECT_TRUE(Captions().contains("sub"));
}

TEST_F(ImagesPanelActions, CopyThatFailsToWriteKeepsTheOldFileAndLeavesNoPartial) {
  test::DrawPicture(folder_.Path("large.bmp"), 400, 400, Qt::cyan, "bmp");
  panel_.ListSavedFolder(folder_.Saved());
  test::WriteFile(folder_.Root("target/large.bmp"), "old");
  Select({"large.bmp"});
  script_.overwrite = {{TOverwriteChoice::Overwrite, false}};
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{}, limit{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  limit = saved;
  limit.rlim_cur = 64 * 1024;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  panel_.CopyTo();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(ReadFile(folder_.Root("target/large.bmp")), "old");
  EXPECT_EQ(Entries(folder_.Root("target")), QStringList{"large.bmp"});
  EXPECT_TRUE(FileExists(folder_.Path("large.bmp")));
}

TEST_F(ImagesPanelActions, FolderOpensTheSavedFolderOnlyWhenBound) {
  test::RecordedShell shell;
  panel_.OpenFolder();
  ASSERT_EQ(shell.Opened().size(), 1u);
  EXPECT_EQ(shell.Opened()[0], QUrl::fromLocalFile(folder_.Saved()));
  panel_.Unbind();
  panel_.OpenFolder();
  EXPECT_EQ(shell.Opened().size(), 1u);
}

class ImagesPanelWallpaper : public ImagesPanelActions {
 protected:
  void SetUp() override {
    ImagesPanelActions::SetUp();
    ::setenv("VENDRAKE_HOME", home_.Path().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("VENDRAKE_HOME"); }

  test::TempDir home_;
  test::RecordedWallpaper wallpaper_;
};

TEST_F(ImagesPanelWallpaper, AGifAfterAJpegGivesTheGifsFirstFrame) {
  Select({"red.jpg"});
  script_.wallpaper = TWallpaperStyle::Stretch;
  panel_.SetWallpaper();
  Select({"anim.gif"});
  script_.wallpaper = TWallpaperStyle::Max;
  panel_.SetWallpaper();
  ASSERT_EQ(wallpaper_.Calls().size(), 2u);
  EXPECT_EQ(wallpaper_.Calls()[0].style, TWallpaperStyle::Stretch);
  EXPECT_EQ(wallpaper_.Calls()[0].image.size(), QSize(300, 200));
  EXPECT_EQ(wallpaper_.Calls()[1].style, TWallpaperStyle::Max);
  const QImage& gif = wallpaper_.Calls()[1].image;
  EXPECT_EQ(gif.size(), QSize(16, 12));
  EXPECT_GT(gif.pixelColor(5, 5).red(), 230);  // the red first frame
  EXPECT_LT(gif.pixelColor(5, 5).blue(), 20);
  for (const auto& call : wallpaper_.Calls()) EXPECT_EQ(call.picture.rfind(home_ / "Wallpaper/", 0), 0u);
  EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(ImagesPanelWallpaper, CancelledDialogOrUndecodableFileChangesNothing) {
  Select({"red.jpg"});
  script_.wallpaper = std::nullopt;
  panel_.SetWallpaper();
  EXPECT_EQ(script_.wallpaperAsked, 1);
  script_.wallpaper = TWallpaperStyle::Center;
  Select({"broken.jpg"});
  panel_.SetWallpaper();
  EXPECT_TRUE(wallpaper_.Calls().empty());
  EXPECT_EQ(boxes_.Last().caption, "Error");
  EXPECT_TRUE(boxes_.Last().text.contains("broken.jpg"));
}

TEST_F(ImagesPanelWallpaper, ARefusingDesktopIsReported) {
  wallpaper_.Refuse();
  Select({"green.png"});
  panel_.SetWallpaper();
  EXPECT_EQ(wallpaper_.Calls().size(), 1u);
  EXPECT_EQ(boxes_.Last().caption, "Error");
  EXPECT_EQ(boxes_.Last().text, "The desktop refused the picture.");
}

TEST_F(ImagesPanelActions, BuildInAddsEveryPendingFileOnce) {
  QSignalSpy finished(&panel_, &TImagesPanel::BuildInFinished);
  QSignalSpy progress(&panel_, &TImagesPanel::BuildInProgress);
  boxes_.Answer(QMessageBox::Yes);
  panel_.BuildIn();
  EXPECT_EQ(boxes_.Last().text, "Do you want to build-in these images? It will take a few minutes.");
  EXPECT_FALSE(panel_.ActionStates().BuildIn);
  ASSERT_TRUE(finished.count() == 1 || finished.wait(20000));
  // The regular files are catalogued (a FIFO, a folder and a link to one are
  // passed over); undecodable ones with -1 x -1.
  EXPECT_EQ(library_.Count(), 5);
  ASSERT_NE(library_.FindByName(folder_.Path("red.jpg")), nullptr);
  EXPECT_EQ(library_.FindByName(folder_.Path("red.jpg"))->Width, 300);
  EXPECT_EQ(library_.FindByName(folder_.Path("broken.jpg"))->Width, -1);
  EXPECT_EQ(progress.last().at(0).toInt(), 8);
  EXPECT_EQ(progress.last().at(1).toInt(), 8);
  EXPECT_TRUE(panel_.PendingImages().isEmpty());
  EXPECT_TRUE(panel_.ActionStates().BuildIn);

  // Nothing is pending any more, and a new listing finds nothing new either.
  panel_.BuildIn();
  EXPECT_EQ(boxes_.Last().caption, "Information");
  EXPECT_EQ(boxes_.Last().text, "No image need to build-in library!");
  panel_.ListSavedFolder(folder_.Saved());
  EXPECT_EQ(panel_.PendingImages().size(), 3);  // the FIFO, the folder and the link
  EXPECT_EQ(library_.Count(), 5);
}

TEST_F(ImagesPanelActions, BuildInAnsweredNoDoesNothingAndGonePathsArePassedOver) {
  boxes_.Answer(QMessageBox::No);
  panel_.BuildIn();
  EXPECT_EQ(library_.Count(), 0);
  EXPECT_EQ(panel_.PendingImages().size(), 8);
  ::unlink(folder_.Path("red.jpg").c_str());
  QSignalSpy finished(&panel_, &TImagesPanel::BuildInFinished);
  boxes_.Answer(QMessageBox::Yes);
  panel_.BuildIn();
  ASSERT_TRUE(finished.wait(20000));
  EXPECT_EQ(library_.Count(), 4);
  EXPECT_EQ(library_.FindByName(folder_.Path("red.jpg")), nullptr);
}

}  // namespace
}  // namespace vdk
