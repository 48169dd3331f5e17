// "Delete by ..." and its confirmation, answered as a user would, over a
// "Saved" folder the tests build.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>

#include "library/image_library.h"
#include "support/recorded_dialog_services.h"
#include "support/recorded_services.h"
#include "support/temp_dir.h"
#include "ui/library/checked_files_model.h"
#include "ui/library/confirm_delete_form.h"
#include "ui/library/delete_by_form.h"
#include "ui/library/delete_by_run.h"

namespace vdk {
namespace {

using test::ReadFile;
using test::RecordedDialogs;
using test::WriteFile;

bool EntryExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Picks a criterion and its value, then clicks "&OK".
RecordedDialogs::TAnswer Choose(const char* button, const char* edit = nullptr, const QString& value = {}) {
  return [=](QDialog& dialog) {
    dialog.findChild<QRadioButton*>(button)->click();
    if (edit) dialog.findChild<QLineEdit*>(edit)->setText(value);
    RecordedDialogs::ClickOK()(dialog);
  };
}

// Clears the rows named, clicks "&OK" and waits for the deletion to end.
RecordedDialogs::TAnswer Confirm(QStringList cleared = {}) {
  return [=](QDialog& dialog) {
    auto& confirm = static_cast<TConfirmDeleteForm&>(dialog);
    TCheckedFilesModel* model = confirm.Model();
    for (int row = 0; row < model->rowCount(); ++row)
      if (cleared.contains(model->index(row).data().toString()))
        model->setData(model->index(row), Qt::Unchecked, Qt::CheckStateRole);
    QSignalSpy ended(&confirm, &TConfirmDeleteForm::DeletionEnded);
    RecordedDialogs::ClickOK()(dialog);
    if (confirm.Job()) {
      ASSERT_TRUE(ended.wait(10000));
    }
  };
}

class DeleteByRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir(Saved("").c_str(), 0700);
    ::mkdir(Saved("sub.gif").c_str(), 0700);
    WriteFile(Saved("sub.gif/inner.gif"), "inner");
    WriteFile(dir_ / "outside.gif", "keep");
    ::symlink((dir_ / "outside.gif").c_str(), Saved("link.gif").c_str());
    Row("a.gif", 2 * 1024, 10, 10);
    Row("b.gif", 30 * 1024, 800, 600);
    Row("c.jpg", 5 * 1024, 100, 100);
    rows_.push_back({"sub.gif", ".gif", "0 KB", Saved("sub.gif")});
    rows_.push_back({"link.gif", ".gif", "0 KB", Saved("link.gif")});
  }
  std::string Saved(const std::string& name) const { return dir_ / ("Saved/" + name); }
  void Row(const std::string& name, int bytes, int width, int height) {
    WriteFile(Saved(name), std::string(std::size_t(bytes), 'x'));
    rows_.push_back({name, name.substr(name.rfind('.')), KilobyteText(bytes), Saved(name)});
    auto record = std::make_shared<TImageDetail>();
    record->FileName = Saved(name);
    record->Width = width;
    record->Height = height;
    library_.Add(record);
  }
  std::vector<std::string> Run() { return DeleteByExecute(nullptr, library_, rows_, Saved("")); }

  test::TempDir dir_;
  TImageLibrary library_;
  std::vector<TSavedFile> rows_;
  RecordedDialogs dialogs_;
  test::RecordedBoxes boxes_;
};

TEST_F(DeleteByRun, ImageSizeDeletesTheConfirmedSmallPicturesOnly) {
  dialogs_.Answer(RecordedDialogs::ClickOK());  // "Image size" 300 x 300
  dialogs_.Answer(Confirm({"c.jpg"}));
  EXPECT_EQ(Run(), std::vector<std::string>{Saved("a.gif")});
  EXPECT_EQ(dialogs_.Captions(), (std::vector<QString>{"Delete by ...", "Confirm images delete action"}));
  EXPECT_FALSE(EntryExists(Saved("a.gif")));
  EXPECT_TRUE(EntryExists(Saved("c.jpg"))) << "cleared by the user";
  EXPECT_TRUE(EntryExists(Saved("b.gif")));
  EXPECT_EQ(library_.Count(), 3) << "records stay until Verify";
}

// Only regular files directly inside "Saved" are candidates of the filter.
TEST_F(DeleteByRun, TheFileFilterDeletesRegularFilesOnly) {
  dialogs_.Answer(Choose("FileFilterButton", "FilterEdit", "*.GIF"));
  dialogs_.Answer(Confirm());
  std::vector<std::string> deleted = Run();
  std::sort(deleted.begin(), deleted.end());
  EXPECT_EQ(deleted, (std::vector<std::string>{Saved("a.gif"), Saved("b.gif")}));
  EXPECT_TRUE(EntryExists(Saved("link.gif")));
  EXPECT_EQ(ReadFile(Saved("sub.gif/inner.gif")), "inner");
  EXPECT_EQ(ReadFile(dir_ / "outside.gif"), "keep");
  EXPECT_TRUE(EntryExists(Saved("c.jpg")));
}

TEST_F(DeleteByRun, PatternsReachingOutsideTheFolderAreRefused) {
  for (const char* pattern : {"../*", "..\\*", "/etc/*"}) {
    dialogs_.Answer(Choose("FileFilterButton", "FilterEdit", QString::fromLatin1(pattern)));
    EXPECT_TRUE(Run().empty()) << pattern;
    EXPECT_EQ(boxes_.Last().caption, "Error") << pattern;
    EXPECT_EQ(dialogs_.Captions().back(), "Delete by ...") << "no confirmation follows";
  }
  EXPECT_EQ(ReadFile(dir_ / "outside.gif"), "keep");
}

TEST_F(DeleteByRun, NothingFoundShowsAnEmptyConfirmationThatSaysSo) {
  dialogs_.Answer(Choose("RangeButton", "SmallRangeEdit", "100"));
  dialogs_.Answer(Confirm());
  EXPECT_TRUE(Run().empty());
  EXPECT_EQ(boxes_.Last().caption, "Error");
  EXPECT_EQ(boxes_.Last().text, "No image selected !");
}

TEST_F(DeleteByRun, CancelDeletesNothing) {
  dialogs_.Answer(Choose("SmallThanButton", "SizeEdit", "100"));
  dialogs_.Answer([](QDialog& dialog) { dialog.reject(); });
  EXPECT_TRUE(Run().empty());
  for (const char* name : {"a.gif", "b.gif", "c.jpg", "link.gif"}) EXPECT_TRUE(EntryExists(Saved(name))) << name;
}

TEST(DeleteByForm, ChoosingACriterionEnablesOnlyItsInputs) {
  TDeleteByForm form;
  EXPECT_EQ(form.windowTitle(), "Delete by ...");
  EXPECT_TRUE(form.findChild<QSpinBox*>("WidthEdit")->isEnabled());
  EXPECT_FALSE(form.findChild<QLineEdit*>("SizeEdit")->isEnabled());
  form.findChild<QRadioButton*>("RangeButton")->click();
  EXPECT_FALSE(form.findChild<QSpinBox*>("WidthEdit")->isEnabled());
  EXPECT_TRUE(form.findChild<QLineEdit*>("SmallRangeEdit")->isEnabled());
  EXPECT_TRUE(form.findChild<QLineEdit*>("BigRangeEdit")->isEnabled());
  EXPECT_FALSE(form.findChild<QLineEdit*>("FilterEdit")->isEnabled());
  const TDeleteByChoice choice = form.Choice();
  EXPECT_EQ(choice.Criterion, TDeleteByCriterion::Range);
  EXPECT_EQ(choice.SmallRange, "10");
  EXPECT_EQ(choice.BigRange, "20");
}

}  // namespace
}  // namespace vdk
