// The collect tool over a "Saved" folder the tests build: the listing, the
// selection, the copy with its clash questions, and a stop half-way.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCheckBox>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include "library/image_library.h"
#include "scripted_dialogs.h"
#include "support/recorded_services.h"
#include "support/temp_dir.h"
#include "ui/library/collect_model.h"
#include "ui/library/copy_pictures_form.h"

namespace vdk {
namespace {

using test::ReadFile;
using test::WriteFile;

// task/Saved/ holds a.jpg (400 x 400, 150 KB), b.JPG (200 x 400, 150 KB),
// c.png (400 x 400, 90 KB), d.webp, e.gif (unknown to the library), a
// sub-folder and a file still being downloaded.
class CollectForm : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir((dir_ / "task").c_str(), 0700);
    ::mkdir(Saved("").c_str(), 0700);
    ::mkdir(Saved("sub").c_str(), 0700);
    ::mkdir((dir_ / "dest").c_str(), 0700);
    File("a.jpg", 150, 400, 400);
    File("b.JPG", 150, 200, 400);
    File("c.png", 90, 400, 400);
    File("d.webp", 500, 900, 900);
    WriteFile(Saved("e.gif"), "gif");
    WriteFile(Saved("x.jpg!!wr"), "partial");
    form_.SetSaveFolder(dir_ / "task/");
    form_.SetDestFolder(Dest(""));
    form_.SetDialogs(test::ScriptedDialogs(script_));
  }

  std::string Saved(const std::string& name) const { return dir_ / ("task/Saved/" + name); }
  std::string Dest(const std::string& name) const { return dir_ / ("dest/" + name); }
  void File(const std::string& name, int kilobytes, int width, int height) {
    WriteFile(Saved(name), std::string(std::size_t(kilobytes) * 1024, name[0]));
    auto record = std::make_shared<TImageDetail>();
    record->FileName = Saved(name);
    record->Width = width;
    record->Height = height;
    library_.Add(record);
  }

  void ShowAndList() {
    QSignalSpy ended(&form_, &TCopyPicturesForm::ListingEnded);
    form_.show();
    ASSERT_TRUE(ended.wait(10000));
    ASSERT_TRUE(form_.ListReady());
  }
  QStringList Checked() const {
    QStringList names;
    for (int row = 0; row < form_.Model()->rowCount(); ++row)
      if (form_.Model()->IsChecked(row)) names << QString::fromStdString(form_.Model()->Row(row).File.Caption);
    names.sort();
    return names;
  }
  void Copy() {
    QSignalSpy ended(&form_, &TCopyPicturesForm::CopyEnded);
    form_.CopyButtonClick();
    ASSERT_NE(form_.Job(), nullptr);
    EXPECT_EQ(Button("CloseButton")->text(), "&Cancel");
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(Button("CloseButton")->text(), "&Close");
    EXPECT_EQ(boxes_.Last().caption, "Information");
    EXPECT_EQ(boxes_.Last().text, "Selected images copied !");
  }
  QPushButton* Button(const char* name) const { return form_.findChild<QPushButton*>(name); }
  QStringList DestEntries() const {
    return QDir(QString::fromStdString(Dest("")))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  }

  test::TempDir dir_;
  TImageLibrary library_;
  test::DialogScript script_;
  test::RecordedBoxes boxes_;
  TCopyPicturesForm form_{library_};
};

TEST_F(CollectForm, ListsTheSavedFolderWithSizesAndKnownDimensions) {
  form_.show();
  EXPECT_FALSE(Button("CopyButton")->isEnabled()) << "while listing";
  auto* bar = form_.findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum(), 0) << "a busy bar while listing";
  form_.SelectButtonClick();
  EXPECT_EQ(boxes_.Last().caption, "Wait");
  EXPECT_EQ(boxes_.Last().text, "Please waiting for the update !");
  QSignalSpy ended(&form_, &TCopyPicturesForm::ListingEnded);
  ASSERT_TRUE(ended.wait(10000));
  EXPECT_TRUE(Button("CopyButton")->isEnabled());
  EXPECT_EQ(bar->maximum(), 100) << "the busy bar stops";
  ASSERT_EQ(form_.Model()->rowCount(), 6) << "the partial download is left out";
  for (int row = 0; row < 6; ++row) {
    const TCollectRow& entry = form_.Model()->Row(row);
    const QString width = form_.Model()->index(row, TCollectModel::WidthColumn).data().toString();
    if (entry.File.Caption == "b.JPG") {
      EXPECT_EQ(entry.File.SizeText, "150 KB");
      EXPECT_EQ(entry.File.Ext, ".JPG");
      EXPECT_EQ(width, "200");
    }
    if (entry.File.Caption == "e.gif") {
      EXPECT_TRUE(width.isEmpty());
    }
  }
  EXPECT_EQ(form_.windowTitle(), "Collect images");
}

TEST_F(CollectForm, SelectFollowsTheFormatsAndLimits) {
  ShowAndList();
  form_.SelectButtonClick();
  EXPECT_EQ(Checked(), (QStringList{"a.jpg", "b.JPG", "c.png", "e.gif"}));
  form_.findChild<QCheckBox*>("JPGCheck")->setChecked(false);
  form_.SelectButtonClick();
  EXPECT_EQ(Checked(), (QStringList{"c.png", "e.gif"})) << ".JPG is governed by the .jpg box too";
  form_.findChild<QCheckBox*>("JPGCheck")->setChecked(true);
  form_.findChild<QCheckBox*>("LimitImageSizeCheck")->click();
  EXPECT_TRUE(form_.findChild<QSpinBox*>("WidthEdit")->isEnabled());
  form_.findChild<QCheckBox*>("LimitFileSizeCheck")->click();
  form_.SelectButtonClick();
  EXPECT_EQ(Checked(), QStringList{"a.jpg"}) << "both limits under their defaults";
  form_.UnselectButtonClick();
  EXPECT_TRUE(Checked().isEmpty());
}

TEST_F(CollectForm, CopyWithoutACheckedRowIsRefused) {
  ShowAndList();
  form_.CopyButtonClick();
  EXPECT_EQ(form_.Job(), nullptr);
  EXPECT_EQ(boxes_.Last().caption, "Error");
  EXPECT_EQ(boxes_.Last().text, "Please choose images by click \"select\" button first !");
}

TEST_F(CollectForm, SkipWithDoNotPromptSkipsEveryLaterClashButCopiesTheRest) {
  WriteFile(Dest("a.jpg"), "old a");
  WriteFile(Dest("c.png"), "old c");
  ShowAndList();
  form_.SelectButtonClick();
  script_.overwrite = {{TOverwriteChoice::Skip, true}};
  Copy();
  EXPECT_EQ(script_.clashes.size(), 1u) << "asked once";
  EXPECT_EQ(ReadFile(Dest("a.jpg")), "old a");
  EXPECT_EQ(ReadFile(Dest("c.png")), "old c");
  EXPECT_EQ(ReadFile(Dest("b.JPG")), ReadFile(Saved("b.JPG")));
  EXPECT_EQ(ReadFile(Dest("e.gif")), "gif");
  EXPECT_EQ(DestEntries(), (QStringList{"a.jpg", "b.JPG", "c.png", "e.gif"})) << "no temporary left";
}

TEST_F(CollectForm, RenameTakesTheFirstFreeName) {
  WriteFile(Dest("a.jpg"), "old a");
  WriteFile(Dest("a[0].jpg"), "old a0");
  ShowAndList();
  form_.SelectButtonClick();
  script_.overwrite = {{TOverwriteChoice::Rename, false}};
  Copy();
  EXPECT_EQ(script_.clashes.size(), 1u);
  EXPECT_EQ(ReadFile(Dest("a.jpg")), "old a");
  EXPECT_EQ(ReadFile(Dest("a[1].jpg")), ReadFile(Saved("a.jpg")));
}

TEST_F(CollectForm, OverwriteReplacesTheFileThere) {
  WriteFile(Dest("c.png"), "old c");
  ShowAndList();
  form_.SelectButtonClick();
  script_.overwrite = {{TOverwriteChoice::Overwrite, false}};
  Copy();
  EXPECT_EQ(ReadFile(Dest("c.png")), ReadFile(Saved("c.png")));
  EXPECT_EQ(DestEntries(), (QStringList{"a.jpg", "b.JPG", "c.png", "e.gif"}));
}

TEST_F(CollectForm, ADestinationThatIsTheSourceIsNeverWritten) {
  ShowAndList();
  form_.SetDestFolder(dir_ / "task/Saved");
  form_.SelectButtonClick();
  Copy();
  EXPECT_TRUE(script_.clashes.empty()) << "no question about the file itself";
  EXPECT_EQ(ReadFile(Saved("a.jpg")), std::string(150 * 1024, 'a'));
}

// Closing stops the copy at once: whatever is in the destination then is a
// whole copy, and no temporary file is left.
TEST_F(CollectForm, ClosingHalfWayLeavesOnlyWholeCopies) {
  for (const char* name : {"big1.jpg", "big2.jpg", "big3.jpg"})
    WriteFile(Saved(name), std::string(std::size_t(24) << 20, name[3]));
  ShowAndList();
  form_.SelectButtonClick();
  form_.CopyButtonClick();
  ASSERT_NE(form_.Job(), nullptr);
  form_.reject();
  EXPECT_EQ(form_.Job(), nullptr);
  QCoreApplication::processEvents();
  for (const QString& name : DestEntries())
    EXPECT_EQ(ReadFile(Dest(name.toStdString())), ReadFile(Saved(name.toStdString()))) << name.toStdString();
  EXPECT_TRUE(boxes_.Shown().empty() || boxes_.Last().text != "Selected images copied !");
}

TEST_F(CollectForm, ChangeAndShortFolderTexts) {
  script_.folder = QStringLiteral("/a/very/long/destination/folder/for/pictures");
  form_.ChangeDestButtonClick();
  EXPECT_EQ(script_.pickerTitles, QStringList{"Select the destination directory"});
  EXPECT_EQ(form_.DestFolder(), "/a/very/long/destination/folder/for/pictures");
  EXPECT_EQ(ShortFolderText(form_.DestFolder()), "/a/very/long/destination/folde...");
  EXPECT_EQ(ShortFolderText("/home/u/task/", "Saved/"), "/home/u/task/Saved/");
  EXPECT_EQ(ShortFolderText(std::string(31, 'x'), "Saved/"), QString(30, 'x') + ".../Saved/");
  script_.folder.clear();
  form_.ChangeDestButtonClick();
  EXPECT_EQ(form_.DestFolder(), "/a/very/long/destination/folder/for/pictures") << "cancelled";
}

}  // namespace
}  // namespace vdk
