// The main window's entries to the library window and the collect tool run
// them through the dialog runner, listed and ready.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QSignalSpy>

#include "library/image_library.h"
#include "support/recorded_dialog_services.h"
#include "support/temp_dir.h"
#include "ui/library/collect_model.h"
#include "ui/library/copy_pictures_form.h"
#include "ui/library/image_library_form.h"
#include "ui/library/image_library_model.h"
#include "ui/library/library_windows.h"

namespace vdk {
namespace {

TEST(LibraryWindows, OpenModallyAndListAtOnce) {
  test::TempDir dir;
  ::mkdir((dir / "Saved").c_str(), 0700);
  test::WriteFile(dir / "Saved/a.jpg", "a");
  test::WriteFile(dir / "Saved/b.png", "b");
  TImageLibrary library;
  auto record = std::make_shared<TImageDetail>();
  record->FileName = dir / "Saved/a.jpg";
  library.Add(record);

  test::RecordedDialogs dialogs;
  int libraryRows = -1;
  dialogs.Answer([&](QDialog& dialog) {
    auto& form = static_cast<TImageLibraryForm&>(dialog);
    QSignalSpy listed(&form, &TImageLibraryForm::ListingEnded);
    ASSERT_TRUE(form.IsLoading());
    ASSERT_TRUE(listed.wait(10000));
    libraryRows = form.Model()->rowCount();
  });
  ShowLibraryWindow(nullptr, library);
  EXPECT_EQ(libraryRows, 1);

  int collectRows = -1;
  dialogs.Answer([&](QDialog& dialog) {
    auto& form = static_cast<TCopyPicturesForm&>(dialog);
    QSignalSpy listed(&form, &TCopyPicturesForm::ListingEnded);
    ASSERT_TRUE(listed.wait(10000));
    collectRows = form.Model()->rowCount();
  });
  ShowCollectTool(nullptr, library, dir.Path());
  EXPECT_EQ(collectRows, 2);
  EXPECT_EQ(dialogs.Captions(), (std::vector<QString>{"Library", "Collect images"}));
}

}  // namespace
}  // namespace vdk
