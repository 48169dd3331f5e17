// The downloaded-files list read on a thread: only the listing of the folder
// the panel still shows lands, rows the download adds meanwhile stay, and a
// folder whose entries have not changed is not read again.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <functional>

#include "library/image_detail.h"
#include "library/image_library.h"
#include "picture_folder.h"
#include "support/temp_dir.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/imageview/saved_folder_lister.h"

namespace vdk {
namespace {

using test::WriteFile;

bool WaitUntil(const std::function<bool()>& condition) {
  // The deadline is an event too, so the wait for the next event ends there.
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.start(30000);
  while (!condition() && deadline.isActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return condition();
}

class PanelListing : public ::testing::Test {
 protected:
  PanelListing() {
    for (const char* name : {"a1.jpg", "a2.jpg"}) WriteFile(a_ / name, "a");
    for (const char* name : {"b1.png", "b2.png", "b3.png"}) WriteFile(b_ / name, "b");
    panel_.SetLibrary(&library_);
  }
  QStringList Captions() const {
    QStringList captions;
    for (const TSavedFile& row : panel_.Rows()) captions << QString::fromStdString(row.Caption);
    captions.sort();
    return captions;
  }
  bool Listed() {
    return WaitUntil([this] { return !panel_.IsListing(); });
  }
  QString A() const { return QString::fromStdString(a_.Path()); }
  QString B() const { return QString::fromStdString(b_.Path()); }

  test::TempDir a_, b_;
  TImageLibrary library_;
  TImagesPanel panel_;
};

TEST_F(PanelListing, TheListingArrivesWithTheFilesTheLibraryLacks) {
  auto known = std::make_shared<TImageDetail>();
  known->FileName = a_ / "a1.jpg";
  library_.Add(known);
  panel_.ShowSavedFolder(A());
  EXPECT_TRUE(panel_.IsListing());
  EXPECT_TRUE(panel_.IsBound());
  ASSERT_TRUE(Listed());
  EXPECT_EQ(Captions(), (QStringList{"a1.jpg", "a2.jpg"}));
  EXPECT_EQ(panel_.PendingImages(), QStringList{QString::fromStdString(a_ / "a2.jpg")});
}

TEST_F(PanelListing, OnlyTheFolderAskedForLastLands) {
  panel_.ShowSavedFolder(A());
  panel_.ShowSavedFolder(B());
  EXPECT_TRUE(panel_.Rows().empty()) << "another folder's rows go at once";
  ASSERT_TRUE(Listed());
  QCoreApplication::processEvents();
  EXPECT_EQ(panel_.Folder(), B());
  EXPECT_EQ(Captions(), (QStringList{"b1.png", "b2.png", "b3.png"}));
}

TEST_F(PanelListing, NothingLandsAfterUnbind) {
  panel_.ShowSavedFolder(A());
  panel_.Unbind();
  EXPECT_FALSE(panel_.IsListing());
  QCoreApplication::processEvents();
  EXPECT_TRUE(panel_.Rows().empty());
  EXPECT_FALSE(panel_.IsBound());
}

TEST(SavedFolderLister, ACancelledOrSupersededListingIsNeverDelivered) {
  test::TempDir a, b;
  WriteFile(a / "a.jpg", "a");
  WriteFile(b / "b.jpg", "b");
  std::vector<std::string> delivered;
  TSavedFolderLister lister([&delivered](TSavedListing listing) { delivered.push_back(listing.Folder); });
  lister.Request(a.Path());
  lister.Cancel();
  lister.Request(a.Path());
  lister.Request(b.Path());
  ASSERT_TRUE(WaitUntil([&lister] { return !lister.Busy(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, std::vector<std::string>{b.Path()});
}

TEST_F(PanelListing, ACurrentListingIsNotReadAgainAndAChangedOneIs) {
  test::SettleFolder(a_.Path());
  panel_.ShowSavedFolder(A());
  ASSERT_TRUE(Listed());
  panel_.ShowSavedFolder(A());
  EXPECT_FALSE(panel_.IsListing()) << "nothing in the folder changed";
  EXPECT_EQ(Captions(), (QStringList{"a1.jpg", "a2.jpg"}));

  WriteFile(a_ / "a3.jpg", "a");
  panel_.ShowSavedFolder(A());
  EXPECT_TRUE(panel_.IsListing());
  EXPECT_EQ(panel_.Rows().size(), 2u) << "the rows stay until the listing replaces them";
  ASSERT_TRUE(Listed());
  EXPECT_EQ(Captions(), (QStringList{"a1.jpg", "a2.jpg", "a3.jpg"}));
}

TEST_F(PanelListing, AFolderJustChangedIsReadAgainEvenWithTheSameStamp) {
  panel_.ShowSavedFolder(A());  // the folder was written a moment ago
  ASSERT_TRUE(Listed());
  panel_.ShowSavedFolder(A());
  EXPECT_TRUE(panel_.IsListing()) << "a change within the clock's step would carry the same time";
  ASSERT_TRUE(Listed());
}

TEST_F(PanelListing, RowsTheDownloadAddsWhileListingStay) {
  panel_.ShowSavedFolder(A());
  ASSERT_TRUE(panel_.IsListing());
  // Saved after the listing read the folder (so not in it).
  panel_.ImagesView().AddFileRow("late.jpg", ".jpg", "1 KB", a_ / "late.jpg");
  ASSERT_TRUE(Listed());
  EXPECT_EQ(Captions(), (QStringList{"a1.jpg", "a2.jpg", "late.jpg"}));
}

TEST_F(PanelListing, AListingNowReplacesOneUnderWay) {
  panel_.ShowSavedFolder(B());
  panel_.ListSavedFolder(A());
  EXPECT_FALSE(panel_.IsListing());
  EXPECT_EQ(Captions(), (QStringList{"a1.jpg", "a2.jpg"}));
  QCoreApplication::processEvents();
  EXPECT_EQ(Captions(), (QStringList{"a1.jpg", "a2.jpg"}));
}

}  // namespace
}  // namespace vdk
