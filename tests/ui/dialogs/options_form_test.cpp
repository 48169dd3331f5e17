#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "core/base/ole_date.h"
#include "core/net/default_proxy.h"
#include "core/settings/schedule.h"
#include "dialog_test_support.h"
#include "support/recorded_dialog_services.h"
#include "support/recorded_services.h"
#include "support/temp_dir.h"
#include "ui/dialogs/options_form.h"

namespace vdk::test {
namespace {

class OptionsFormTest : public ::testing::Test {
 protected:
  OptionsFormTest() {
    defaults.DefaultFolder = dir / "downloads/";
    defaults.DefaultLogFolder = dir / "logs/";
    defaults.ProjectPath = dir / "projects/";
    for (const auto* folder : {"downloads", "logs", "projects"}) std::filesystem::create_directory(dir / folder);
    defaults.FileMasks = {"gif, Saved", "jpg, Pictures"};
    defaults.ExcludeFiles = {"spacer.gif"};
    defaults.Scheme = {3, 2, EncodeDate(2025, 3, 1), EncodeTime(8, 0, 0)};
    defaults.EnableFileLimit = false;
    defaults.FileMaxSize = 500;
    defaults.FileMinSize = 3;
    defaults.TimeOut = 20;
    defaults.SeekDeep = 7;
    defaults.AutoShutDown = true;
    defaults.UseProxyServer = true;
    defaults.ProxyServerAddr = "10.0.0.1";
    defaults.ProxyServerPort = 3128;
    defaults.AutoSaveLog = false;
    form.Fill(defaults);
  }
  ~OptionsFormTest() override { SetDefaultProxy(TRegOptions{}); }

  QLineEdit* Edit(const char* name) { return Child<QLineEdit>(form, name); }
  bool Checked(const char* name) { return Child<QCheckBox>(form, name)->isChecked(); }
  bool Enabled(const char* name) { return Child<QWidget>(form, name)->isEnabled(); }
  TRegOptions Stored() {
    TRegOptions options = defaults;
    form.Store(options);
    return options;
  }

  TempDir dir;
  RecordedBoxes boxes;
  RecordedDialogs dialogs;
  RecordedFolderPicker picker;
  RecordedHelp help;
  TRegOptions defaults;
  TOptionForm form;
};

TEST_F(OptionsFormTest, ShowsEveryDefaultOption) {
  EXPECT_EQ(form.windowTitle(), "Default options");
  EXPECT_EQ(Edit("FolderEdit")->text().toStdString(), defaults.DefaultFolder);
  EXPECT_EQ(ListRows(form, "MaskListView"), (std::vector<QStringList>{{"gif", "Saved"}, {"jpg", "Pictures"}}));
  EXPECT_FALSE(Checked("EnableFileLimitCheckBox"));
  EXPECT_EQ(Edit("MaxSizeEdit")->text(), "500");
  EXPECT_EQ(Edit("MinSizeEdit")->text(), "3");
  EXPECT_EQ(Child<QSpinBox>(form, "TimeOutSpinBox")->value(), 20);
  EXPECT_EQ(Child<QSlider>(form, "SeekDeepSlider")->value(), 7);
  EXPECT_EQ(Child<QLabel>(form, "SeekDeepValueLabel")->text(), "7");
  EXPECT_EQ(ListRows(form, "ExcludeListView"), (std::vector<QStringList>{{"spacer.gif"}}));
  EXPECT_EQ(Child<QComboBox>(form, "SchemeTypeComboBox")->currentText(), "Daily");
  EXPECT_TRUE(Checked("AutoShutDownCheckBox"));
  EXPECT_TRUE(Checked("UseProxyCheckBox"));
  EXPECT_EQ(Edit("ProxyServerEdit")->text(), "10.0.0.1");
  EXPECT_EQ(Edit("ProxyPortEdit")->text(), "3128");
  EXPECT_EQ(Edit("LogFolderEdit")->text().toStdString(), defaults.DefaultLogFolder);
  EXPECT_FALSE(Checked("AutoSaveLogCheckBox"));
  EXPECT_EQ(Edit("ProjectFolderEdit")->text().toStdString(), defaults.ProjectPath);
  // Unchanged controls store the record as it was.
  EXPECT_EQ(Stored(), defaults);
}

TEST_F(OptionsFormTest, ShowingOpensTheGeneralPageWithTheScheduleDescribed) {
  Child<QTabWidget>(form, "PageControl")->setCurrentIndex(3);
  form.show();
  EXPECT_EQ(Child<QTabWidget>(form, "PageControl")->currentWidget()->objectName(), "GeneralPage");
  EXPECT_EQ(Child<QPlainTextEdit>(form, "SchemeDescriptionEdit")->toPlainText().toStdString(),
            Description(defaults.Scheme));
  EXPECT_TRUE(Enabled("ChangeButton"));
}

TEST_F(OptionsFormTest, EditedControlsReachTheRecord) {
  Edit("FolderEdit")->setText(QString::fromStdString(dir / "elsewhere"));
  Child<QCheckBox>(form, "EnableFileLimitCheckBox")->setChecked(true);
  Edit("MaxSizeEdit")->setText("");
  Edit("MinSizeEdit")->setText("ten");
  Child<QSpinBox>(form, "TimeOutSpinBox")->setValue(0);
  Child<QSlider>(form, "SeekDeepSlider")->setValue(30);
  Child<QCheckBox>(form, "AutoShutDownCheckBox")->setChecked(false);
  Child<QCheckBox>(form, "UseProxyCheckBox")->setChecked(false);
  Edit("ProxyPortEdit")->setText("");
  Edit("LogFolderEdit")->setText("/var/log/vd");
  Child<QCheckBox>(form, "AutoSaveLogCheckBox")->setChecked(true);
  Edit("ProjectFolderEdit")->setText("/srv/projects/");

  const TRegOptions o = Stored();
  EXPECT_EQ(o.DefaultFolder, dir / "elsewhere/");  // stored with its trailing "/"
  EXPECT_TRUE(o.EnableFileLimit);
  EXPECT_EQ(o.FileMaxSize, 0);  // empty
  EXPECT_EQ(o.FileMinSize, 0);  // not a number
  EXPECT_EQ(o.TimeOut, 0);
  EXPECT_EQ(o.SeekDeep, 30);
  EXPECT_FALSE(o.AutoShutDown);
  EXPECT_FALSE(o.UseProxyServer);
  EXPECT_EQ(o.ProxyServerAddr, "10.0.0.1");  // kept while the proxy is off
  EXPECT_EQ(o.ProxyServerPort, 80);          // empty
  EXPECT_EQ(o.DefaultLogFolder, "/var/log/vd/");
  EXPECT_TRUE(o.AutoSaveLog);
  EXPECT_EQ(o.ProjectPath, "/srv/projects/");
}

TEST_F(OptionsFormTest, CheckBoxesEnableTheirControls) {
  for (const char* name : {"MaxSizeEdit", "MinSizeEdit", "MaxSizeLabel", "MinSizeLabel", "MaxKBLabel", "MinKBLabel"})
    EXPECT_FALSE(Enabled(name)) << name;
  Child<QCheckBox>(form, "EnableFileLimitCheckBox")->setChecked(true);
  for (const char* name : {"MaxSizeEdit", "MinSizeEdit", "MaxSizeLabel", "MinSizeLabel", "MaxKBLabel", "MinKBLabel"})
    EXPECT_TRUE(Enabled(name)) << name;

  for (const char* name : {"ProxyServerEdit", "ProxyPortEdit", "ProxyServerLabel", "ProxyPortLabel"})
    EXPECT_TRUE(Enabled(name)) << name;
  TRegOptions noProxy = defaults;
  noProxy.UseProxyServer = false;
  form.Fill(noProxy);
  for (const char* name : {"ProxyServerEdit", "ProxyPortEdit", "ProxyServerLabel", "ProxyPortLabel"})
    EXPECT_FALSE(Enabled(name)) << name;
}

TEST_F(OptionsFormTest, NoneDisablesChangeAndKeepsTheRestOfTheSchedule) {
  form.show();
  Child<QComboBox>(form, "SchemeTypeComboBox")->setCurrentIndex(0);
  EXPECT_FALSE(Enabled("ChangeButton"));
  EXPECT_TRUE(Child<QPlainTextEdit>(form, "SchemeDescriptionEdit")->toPlainText().isEmpty());
  const TRegScheme stored = Stored().Scheme;
  EXPECT_EQ(stored.SchemeType, 0);
  EXPECT_EQ(stored.SchemeCount, 3);
  EXPECT_EQ(stored.SchemeStartDate, defaults.Scheme.SchemeStartDate);
  EXPECT_EQ(stored.SchemeStartTime, defaults.Scheme.SchemeStartTime);
}

TEST_F(OptionsFormTest, ListsGrowThroughTheSmallDialogs) {
  dialogs.Answer([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Add image extend name");
    EXPECT_EQ(Child<QLineEdit>(d, "TargetFolderEdit")->text(), "Saved");
    EXPECT_FALSE(Child<QLineEdit>(d, "TargetFolderEdit")->isEnabled());
    Child<QLineEdit>(d, "ExtNameEdit")->setText("webp");
    Click(d, "OKButton");
  });
  Click(form, "AddMaskButton");
  dialogs.Answer([](QDialog& d) { Click(d, "CancelButton"); });
  Click(form, "AddMaskButton");
  dialogs.Answer(RecordedDialogs::ClickOK());  // nothing typed: an empty row, as typed
  Click(form, "AddMaskButton");
  EXPECT_EQ(ListRows(form, "MaskListView"),
            (std::vector<QStringList>{{"gif", "Saved"}, {"jpg", "Pictures"}, {"webp", "Saved"}, {"", "Saved"}}));

  dialogs.Answer([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Add filename");
    Child<QLineEdit>(d, "FileNameEdit")->setText("logo.png");
    Click(d, "OKButton");
  });
  Click(form, "AddExcludeButton");
  EXPECT_EQ(ListRows(form, "ExcludeListView"), (std::vector<QStringList>{{"spacer.gif"}, {"logo.png"}}));

  const TRegOptions o = Stored();
  EXPECT_EQ(o.FileMasks, (std::vector<std::string>{"gif, Saved", "jpg, Pictures", "webp, Saved", ", Saved"}));
  EXPECT_EQ(o.ExcludeFiles, (std::vector<std::string>{"spacer.gif", "logo.png"}));
}

TEST_F(OptionsFormTest, DeleteRemovesTheSelectedRowAndClearEmptiesTheList) {
  auto* masks = Child<QTreeWidget>(form, "MaskListView");
  Click(form, "DeleteMaskButton");  // nothing selected: nothing goes
  EXPECT_EQ(masks->topLevelItemCount(), 2);
  masks->topLevelItem(0)->setSelected(true);
  Click(form, "DeleteMaskButton");
  EXPECT_EQ(ListRows(form, "MaskListView"), (std::vector<QStringList>{{"jpg", "Pictures"}}));
  Click(form, "ClearMaskButton");
  EXPECT_EQ(masks->topLevelItemCount(), 0);

  Child<QTreeWidget>(form, "ExcludeListView")->topLevelItem(0)->setSelected(true);
  Click(form, "DeleteExcludeButton");
  EXPECT_TRUE(Stored().ExcludeFiles.empty());
  EXPECT_TRUE(Stored().FileMasks.empty());
}

TEST_F(OptionsFormTest, BrowseButtonsReplaceTheirFolderOnlyWhenConfirmed) {
  picker.Answer(QStringLiteral("/media/pictures"));
  picker.Answer(std::nullopt);
  picker.Answer(QStringLiteral("/srv/projects"));
  Click(form, "BrowseButton");
  Click(form, "LogBrowseButton");
  Edit("ProjectFolderEdit")->setText("/no/such/folder");
  Click(form, "ProjectBrowseButton");

  ASSERT_EQ(picker.Requests().size(), 3u);
  EXPECT_EQ(picker.Requests()[0].title, "Default folder");
  EXPECT_EQ(picker.Requests()[0].start.toStdString(), defaults.DefaultFolder);
  EXPECT_EQ(picker.Requests()[1].title, "Log folder");
  EXPECT_EQ(picker.Requests()[2].title, "Project folder");
  EXPECT_EQ(picker.Requests()[2].start, "");  // a folder that does not exist is not offered
  EXPECT_EQ(Edit("FolderEdit")->text(), "/media/pictures");
  EXPECT_EQ(Edit("LogFolderEdit")->text().toStdString(), defaults.DefaultLogFolder);
  EXPECT_EQ(Stored().ProjectPath, "/srv/projects/");
}

TEST_F(OptionsFormTest, CancelLeavesTheDefaultsAsTheyWere) {
  TRegOptions edited = defaults;
  dialogs.Answer([](QDialog& d) {
    Click(d, "ClearMaskButton");
    Child<QCheckBox>(d, "UseProxyCheckBox")->setChecked(false);
    Click(d, "CancelButton");
  });
  EXPECT_FALSE(EditDefaultOptions(nullptr, edited));
  EXPECT_EQ(edited, defaults);
  EXPECT_EQ(dialogs.Captions(), (std::vector<QString>{"Default options"}));
}

// The three folders are made on OK, with their missing parents.
TEST_F(OptionsFormTest, OKCreatesMissingFolders) {
  TRegOptions edited = defaults;
  dialogs.Answer([this](QDialog& d) {
    Child<QLineEdit>(d, "FolderEdit")->setText(QString::fromStdString(dir / "new/pictures"));
    Child<QLineEdit>(d, "LogFolderEdit")->setText(QString::fromStdString(dir / "new/logs/"));
    Child<QLineEdit>(d, "ProjectFolderEdit")->setText(QString::fromStdString(dir / "new/projects/a/b"));
    Click(d, "OKButton");
  });
  EXPECT_TRUE(EditDefaultOptions(nullptr, edited));
  EXPECT_TRUE(boxes.Shown().empty());
  EXPECT_EQ(edited.DefaultFolder, dir / "new/pictures/");
  for (const char* folder : {"new/pictures", "new/logs", "new/projects/a/b"})
    EXPECT_TRUE(std::filesystem::is_directory(dir / folder)) << folder;
}

// A folder that cannot be used keeps the dialog open at its page (faults.md S38
// for the length).
TEST_F(OptionsFormTest, OKRefusesFoldersThatCannotBeUsed) {
  WriteFile(dir / "file", "");
  struct Case {
    const char* edit;
    std::string folder;
    const char* page;
    QString message;
  } cases[] = {
      {"FolderEdit", "", "GeneralPage", "Sorry, the folder is empty, please choose a folder and try again!"},
      {"LogFolderEdit", "/" + std::string(1023, 'l'), "LogsPage",
       "Sorry, the folder is too long, please choose a folder of at most 1023 bytes and try again!"},
      {"ProjectFolderEdit", dir / "file/projects", "ProjectPage",
       QString::fromStdString("Sorry, the folder \"" + dir / "file/projects" +
                              "\" cannot be created (Not a directory), please choose another folder and try again!")},
  };
  for (const Case& c : cases) {
    TOptionForm dialog;
    dialog.Fill(defaults);
    dialog.show();
    Child<QLineEdit>(dialog, c.edit)->setText(QString::fromStdString(c.folder));
    Click(dialog, "OKButton");
    EXPECT_TRUE(dialog.isVisible()) << c.edit;
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(boxes.Last().caption, "Error");
    EXPECT_EQ(boxes.Last().icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.Last().text, c.message);
    EXPECT_EQ(Child<QTabWidget>(dialog, "PageControl")->currentWidget()->objectName(), c.page);
  }
  // 1023 bytes with the trailing "/" still fit.
  TOptionForm dialog;
  dialog.Fill(defaults);
  dialog.show();
  std::string longest = dir.Path();  // in parts a file system takes
  for (std::size_t run = 0; longest.size() < 1022; ++run) longest += run % 100 == 99 ? '/' : 'x';
  Child<QLineEdit>(dialog, "FolderEdit")->setText(QString::fromStdString(longest));
  const std::size_t shown = boxes.Shown().size();
  Click(dialog, "OKButton");
  EXPECT_EQ(boxes.Shown().size(), shown);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// faults.md S37: confirmed options carry their proxy to tasks without one.
TEST_F(OptionsFormTest, ConfirmedOptionsSetTheDefaultProxy) {
  TRegOptions edited = defaults;
  dialogs.Answer(RecordedDialogs::ClickOK());
  ASSERT_TRUE(EditDefaultOptions(nullptr, edited));
  EXPECT_EQ(DefaultProxy(), (TProxyServer{"10.0.0.1", 3128}));

  dialogs.Answer([](QDialog& d) {
    Child<QCheckBox>(d, "UseProxyCheckBox")->setChecked(false);
    Click(d, "OKButton");
  });
  ASSERT_TRUE(EditDefaultOptions(nullptr, edited));
  EXPECT_FALSE(DefaultProxy().has_value());
}

TEST_F(OptionsFormTest, HelpButtonAndF1OpenTheDefaultOptionsPage) {
  ShowActive(form);
  Click(form, "HelpButton");
  QTest::keyClick(&form, Qt::Key_F1);
  EXPECT_EQ(help.topics, (std::vector<THelpTopic>{THelpTopic::DefaultOptions, THelpTopic::DefaultOptions}));
}

}  // namespace
}  // namespace vdk::test
