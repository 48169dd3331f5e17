#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/temp_dir.h"
#include "ui/imageview/image_view.h"
#include "ui/imageview/picture_preview.h"
#include "ui/library/confirm_overwrite_form.h"

namespace vdk {
namespace {

class ConfirmOverwrite : public ::testing::Test {
 protected:
  void SetUp() override {
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    source_ = QString::fromStdString(dir_ / "source.jpg");
    image.save(source_, "jpeg");
    form_.SetSourceFile(source_);
    form_.SetDestFile(QString::fromStdString(dir_ / "missing.jpg"));
    form_.SetFileNameLabel("photo.jpg");
    form_.show();
  }
  void Click(const char* button) { QTest::mouseClick(form_.findChild<QPushButton*>(button), Qt::LeftButton); }

  test::TempDir dir_;
  QString source_;
  TConfirmOverwriteForm form_;
};

TEST_F(ConfirmOverwrite, ShowsTheNameAndBothSides) {
  EXPECT_EQ(form_.windowTitle(), "Override file");
  EXPECT_EQ(form_.findChild<QLabel*>("FileNameLabel")->text(), "photo.jpg");
  EXPECT_EQ(form_.findChild<QCheckBox*>("NoPromptCheck")->text(), "Do not prompt me on next time");
  const auto previews = form_.findChildren<TPicturePreview*>();
  ASSERT_EQ(previews.size(), 2);
  EXPECT_EQ(form_.SourceFile(), source_);
  EXPECT_EQ(form_.findChild<TPicturePreview*>("SourcePreview")->ImageScrollBox()->OriginalSize(), QSize(120, 80));
  EXPECT_TRUE(form_.findChild<TPicturePreview*>("DestPreview")->ImageScrollBox()->IsEmpty());
}

TEST_F(ConfirmOverwrite, EachButtonStoresItsChoiceAndCloses) {
  const std::pair<const char*, TOverwriteChoice> buttons[] = {{"OverrideButton", TOverwriteChoice::Overwrite},
                                                              {"RenameButton", TOverwriteChoice::Rename},
                                                              {"SkipButton", TOverwriteChoice::Skip}};
  for (const auto& [button, choice] : buttons) {
    form_.show();
    Click(button);
    EXPECT_EQ(form_.Choice(), choice) << button;
    EXPECT_EQ(form_.result(), QDialog::Accepted);
    EXPECT_FALSE(form_.isVisible());
  }
  EXPECT_EQ(form_.findChild<QPushButton*>("OverrideButton")->text(), "&Override");
  EXPECT_EQ(form_.findChild<QPushButton*>("RenameButton")->text(), "&Rename");
  EXPECT_EQ(form_.findChild<QPushButton*>("SkipButton")->text(), "&Skip");
}

TEST_F(ConfirmOverwrite, ClosingWithoutAButtonMeansSkip) {
  form_.reject();
  EXPECT_EQ(form_.Answer().Choice, TOverwriteChoice::Skip);
  EXPECT_FALSE(form_.Answer().NoPrompt);
}

TEST_F(ConfirmOverwrite, DoNotPromptIsReported) {
  form_.findChild<QCheckBox*>("NoPromptCheck")->setChecked(true);
  Click("OverrideButton");
  EXPECT_EQ(form_.Answer().Choice, TOverwriteChoice::Overwrite);
  EXPECT_TRUE(form_.Answer().NoPrompt);
}

}  // namespace
}  // namespace vdk
