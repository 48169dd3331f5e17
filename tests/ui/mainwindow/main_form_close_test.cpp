// What the main window keeps between runs and how it closes: the tip of the
// day, the notification area, the Exit sequence with the settings and the
// log, About and the web site.

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/settings/reg_settings.h"
#include "main_form_fixture.h"
#include "platform/registry_file.h"
#include "support/qt_printers.h"
#include "ui/mainwindow/log_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/product.h"
#include "ui/mainwindow/tip_form.h"

namespace vdk::test {
namespace {

namespace fs = std::filesystem;

TRegSettings Stored(const std::string& registry, const std::string& home) {
  TRegSettings settings(std::make_unique<TRegistryFile>(registry), home);
  settings.LoadFromRegistry();
  return settings;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

using CloseTest = MainFormTest;

TEST(TipRule, OpensAfterTheLastTipAndWraps) {
  EXPECT_EQ(Tips().size(), 7);
  EXPECT_EQ(WrapTipIndex(7, 7), 0);
  EXPECT_EQ(WrapTipIndex(-1, 7), 0);
  EXPECT_EQ(WrapTipIndex(6, 7), 6);
  EXPECT_EQ(WrapTipIndex(1000, 7), 0);
}

// A settings store that cannot be read is kept aside with a word, not
// replaced unseen.
TEST_F(CloseTest, ADamagedSettingsStoreIsKeptAsideWithAnErrorBox) {
  std::ifstream in(std::string(VENDRAKE_TEST_DATA) + "registry_truncated.reg", std::ios::binary);
  const std::string damaged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(damaged.empty());
  WriteFile(RegistryPath(), damaged);
  Open();
  QCoreApplication::processEvents();
  std::vector<std::string> kept;
  for (const std::string& name : FilesIn(home.Path()))
    if (name.starts_with("registry.reg.bad-")) kept.push_back(home / name);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(ReadFile(kept[0]), damaged);
  ASSERT_FALSE(boxes.Shown().empty());
  EXPECT_EQ(boxes.Shown()[0].text.toStdString(), "The settings store \"" + RegistryPath() +
                                                     "\" could not be read: it was kept as \"" + kept[0] +
                                                     "\" and the default settings are used.");
}

TEST_F(CloseTest, TheTipAfterTheLastOneCyclesAndIsStored) {
  EditStore([](TRegSettings& s) {
    s.Window.ShowTip = true;
    s.Window.TipIndex = 6;
  });
  Open();
  QString first, second;
  dialogs.Then([&](QDialog& dialog) {
    auto* memo = dialog.findChild<QPlainTextEdit*>(QStringLiteral("TipMemo"));
    first = memo->toPlainText();
    dialog.findChild<QPushButton*>(QStringLiteral("NextTipButton"))->click();
    second = memo->toPlainText();
    return static_cast<int>(QDialog::Accepted);
  });
  form->TipTimerTimer();
  EXPECT_EQ(dialogs.Shown(), std::vector<QString>{"TTipForm"});
  EXPECT_EQ(first, Tips()[0]);
  EXPECT_EQ(second, Tips()[1]);
  form->TipTimerTimer();
  EXPECT_EQ(dialogs.Shown().size(), 1u) << "shown once at start-up";
  Exit();
  const TRegSettings stored = Stored(RegistryPath(), home.Path());
  EXPECT_EQ(stored.Window.TipIndex, 1);
  EXPECT_TRUE(stored.Window.ShowTip);
}

TEST_F(CloseTest, TheTipWaitsWhileTipsAreOffAndCanSwitchThemOff) {
  Open();
  form->TipTimerTimer();
  EXPECT_TRUE(dialogs.Shown().empty());
  EditStore([](TRegSettings& s) {
    s.Window.ShowTip = true;
    s.Window.TipIndex = 40;  // beyond the tips
  });
  Open();
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>(QStringLiteral("TipMemo"))->toPlainText(), Tips()[0]);
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("ShowTipCheckBox"))->isChecked());
    dialog.findChild<QCheckBox*>(QStringLiteral("ShowTipCheckBox"))->setChecked(true);
    return static_cast<int>(QDialog::Accepted);
  });
  Trigger("HelpTipAction");
  Exit();
  EXPECT_FALSE(Stored(RegistryPath(), home.Path()).Window.ShowTip);
}

TEST_F(CloseTest, ClosingHidesToTheTrayWithThePromptUntilItIsSwitchedOff) {
  Open();
  form->show();
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Minized");
    dialog.findChild<QCheckBox*>(QStringLiteral("ShowNextCheck"))->setChecked(true);
    return static_cast<int>(QDialog::Accepted);
  });
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->ExitRequested());
  EXPECT_EQ(dialogs.Shown().size(), 1u);
  trays.Click();
  EXPECT_TRUE(form->isVisible());
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(dialogs.Shown().size(), 1u) << "no prompt the second time";
  Exit();
  Open();
  form->show();
  form->close();
  EXPECT_EQ(dialogs.Shown().size(), 1u) << "nor after a restart";
}

TEST_F(CloseTest, WithoutANotificationAreaClosingMinimises) {
  trays.available = false;
  Open();
  form->show();
  form->close();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->isMinimized());
  EXPECT_TRUE(dialogs.Shown().empty()) << "no prompt about an icon that is not there";
}

TEST_F(CloseTest, TheTrayIconIsInstalledWithItsMenu) {
  Open();
  EXPECT_EQ(trays.installed, 1);
  form->show();
  trays.Click();
  EXPECT_FALSE(form->isVisible());
  trays.Click();
  EXPECT_TRUE(form->isVisible());
}

TEST_F(CloseTest, ExitStoresTheViewTogglesAndTheSort) {
  EditStore([](TRegSettings& s) { s.Menu.ImageSort = 1; });
  Open();
  EXPECT_TRUE(form->Action("ImagesSortByNameAction")->isChecked());
  form->Action("ViewShowHideStdBarAction")->trigger();
  form->Action("ViewShowHideStateAction")->trigger();
  form->Action("ImagesFitAction")->setChecked(true);
  form->Action("ImagesSortByTypeAction")->setChecked(true);
  EXPECT_FALSE(form->findChild<QToolBar*>(QStringLiteral("StandardToolBar"))->isVisibleTo(form.get()));
  Exit();
  const TRegSettings stored = Stored(RegistryPath(), home.Path());
  EXPECT_FALSE(stored.Menu.ShowStandardToolBar);
  EXPECT_FALSE(stored.Menu.ShowStatePanel);
  EXPECT_TRUE(stored.Menu.FitImages);
  EXPECT_EQ(stored.Menu.ImageSort, 1) << "sorting by type is not stored";
  Open();
  EXPECT_TRUE(form->Action("ImagesSortByNameAction")->isChecked());
  EXPECT_FALSE(form->Action("ViewShowHideStateAction")->isChecked());
}

TEST_F(CloseTest, ExitStoresThePlacementAndEveryShowRestoresTheOneReadAtStartUp) {
  EditStore([](TRegSettings& s) {
    s.Window.Left = 40;
    s.Window.Top = 30;
    s.Window.Width = 650;
    s.Window.Height = 480;
  });
  Open();
  form->show();
  EXPECT_EQ(form->size(), QSize(650, 480));
  form->resize(700, 500);
  form->hide();
  form->show();
  EXPECT_EQ(form->size(), QSize(650, 480)) << "the placement read at start-up";
  form->resize(710, 520);
  Exit();
  const TRegSettings stored = Stored(RegistryPath(), home.Path());
  EXPECT_EQ(stored.Window.Width, 710);
  EXPECT_EQ(stored.Window.Height, 520);
  EXPECT_EQ(stored.Window.State, 0);
}

TEST_F(CloseTest, ExitSavesTheLogAsOneRtfFileNamedAfterTheDate) {
  Open();
  form->Log().AppendLine("[date] - one line");
  Exit();
  const auto files = FilesIn(LogPath());
  ASSERT_EQ(files.size(), 1u);
  const std::string& name = files[0];
  EXPECT_TRUE(name.ends_with(".rtf"));
  const double date = std::stod(name.substr(0, name.size() - 4));
  EXPECT_NEAR(date, Now(), 1.0 / 24);
  EXPECT_NE(ReadFile(LogPath() + name).find("[date] - one line\\par"), std::string::npos);
}

TEST_F(CloseTest, NoLogFileWithoutAutoSaveLog) {
  EditStore([](TRegSettings& s) { s.Options.AutoSaveLog = false; });
  Open();
  form->Log().AppendLine("x");
  Exit();
  EXPECT_TRUE(FilesIn(LogPath()).empty());
}

TEST_F(CloseTest, ALogThatCannotBeSavedIsReportedAndTheSettingsAreStillWritten) {
  Open();
  form->Settings().Options.DefaultLogFolder = home / "no-such-folder/";
  form->Action("ViewShowAllFilesAction")->setChecked(false);
  Exit();
  ASSERT_FALSE(boxes.Shown().empty());
  EXPECT_TRUE(boxes.Shown()[0].text.startsWith("The log could not be saved"));
  EXPECT_FALSE(Stored(RegistryPath(), home.Path()).Menu.ShowAllFiles);
}

TEST_F(CloseTest, ExitRunsOnceAndTellsTheProgramToEnd) {
  Open();
  int exited = 0;
  QObject::connect(form.get(), &TMainForm::Exited, [&exited] { ++exited; });
  form->RequestExit();
  form->ExitSequence();
  EXPECT_EQ(exited, 1);
  EXPECT_EQ(FilesIn(LogPath()).size(), 1u);
}

TEST_F(CloseTest, AboutShowsOurAddressesAndTheyOpenInTheShell) {
  Open();
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "About");
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("URLLabel"))->text(), QString::fromLatin1(kWebAddress));
    dialog.findChild<QPushButton*>(QStringLiteral("WebButton"))->click();
    return static_cast<int>(QDialog::Accepted);
  });
  Trigger("HelpAboutAction");
  Trigger("HelpVisitAction");
  ASSERT_EQ(shell.Opened().size(), 2u);
  EXPECT_EQ(shell.Opened()[0], QUrl(QString::fromLatin1(kWebAddress)));
  EXPECT_EQ(shell.Opened()[1], QUrl(QString::fromLatin1(kWebAddress)));
}

TEST_F(CloseTest, TheWindowTakesTheApplicationTitle) {
  Open();
  EXPECT_EQ(form->windowTitle(), QString::fromLatin1(kApplicationTitle));
}

}  // namespace
}  // namespace vdk::test
