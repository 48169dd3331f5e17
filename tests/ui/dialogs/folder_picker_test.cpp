#include "ui/dialogs/folder_picker.h"

#include <gtest/gtest.h>

#include "support/recorded_dialog_services.h"
#include "support/temp_dir.h"

namespace vdk::test {
namespace {

TEST(PickFolder, StartsAtAnExistingFolderAndTakesTheChoice) {
  TempDir dir;
  RecordedFolderPicker picker;
  picker.Answer(QStringLiteral("/media/usb/"));
  QString folder = QString::fromStdString(dir.Path());
  EXPECT_TRUE(PickFolder(nullptr, "Default folder", folder));
  EXPECT_EQ(folder, "/media/usb");  // without its trailing "/"
  ASSERT_EQ(picker.Requests().size(), 1u);
  EXPECT_EQ(picker.Requests()[0].title, "Default folder");
  EXPECT_EQ(picker.Requests()[0].start.toStdString(), dir.Path());

  picker.Answer(QStringLiteral("/"));
  EXPECT_TRUE(PickFolder(nullptr, "Log folder", folder));
  EXPECT_EQ(folder, "/");
}

TEST(PickFolder, CancelKeepsAnExistingFolderAndEmptiesAMissingOne) {
  TempDir dir;
  RecordedFolderPicker picker;
  QString folder = QString::fromStdString(dir.Path());
  EXPECT_FALSE(PickFolder(nullptr, "Project folder", folder));
  EXPECT_EQ(folder.toStdString(), dir.Path());

  folder = QString::fromStdString(dir / "missing");
  EXPECT_FALSE(PickFolder(nullptr, "Project folder", folder));
  EXPECT_TRUE(folder.isEmpty());
  EXPECT_TRUE(picker.Requests()[1].start.isEmpty());  // no selection to start from
}

}  // namespace
}  // namespace vdk::test
