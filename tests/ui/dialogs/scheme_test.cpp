#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>

#include "core/base/ole_date.h"
#include "core/settings/schedule.h"
#include "dialog_test_support.h"
#include "support/recorded_dialog_services.h"
#include "ui/dialogs/scheme_box.h"
#include "ui/dialogs/scheme_form.h"

namespace vdk::test {
namespace {

const TDateTime kNow = EncodeDate(2025, 3, 1) + EncodeTime(14, 3, 27);

QString ShortDate(TDateTime value) { return QString::fromStdString(FormatShortDate(value)); }
QString LongTime(TDateTime value) { return QString::fromStdString(FormatLongTime(value)); }

TEST(SchemeForm, ShowsTheScheduleWithItsUnitWord) {
  TSchemeForm form(nullptr, [] { return kNow; });
  form.Fill({3, 3, EncodeDate(2024, 12, 24), EncodeTime(8, 30, 0)}, "Weekly");
  EXPECT_EQ(form.windowTitle(), "Scheme");
  EXPECT_EQ(Child<QLabel>(form, "SchemeTypeLabel")->text(), "Weekly");
  EXPECT_TRUE(Child<QLabel>(form, "SchemeTypeLabel")->font().bold());
  EXPECT_EQ(Child<QLabel>(form, "UnitLabel")->text(), "Week(s)");
  EXPECT_EQ(Child<QSpinBox>(form, "CountSpinBox")->value(), 3);
  EXPECT_FALSE(Child<QCheckBox>(form, "StartOnNowCheckBox")->isChecked());
  EXPECT_TRUE(Child<QLineEdit>(form, "DateEdit")->isEnabled());
  EXPECT_EQ(Child<QLineEdit>(form, "DateEdit")->text(), ShortDate(EncodeDate(2024, 12, 24)));
  EXPECT_EQ(Child<QLineEdit>(form, "TimeEdit")->text(), LongTime(EncodeTime(8, 30, 0)));

  TRegScheme stored{0, 3, 0, 0};
  form.Store(stored);
  EXPECT_EQ(stored.SchemeType, 3);  // the type is the caller's
  EXPECT_EQ(stored.SchemeCount, 3);
  EXPECT_EQ(stored.SchemeStartDate, EncodeDate(2024, 12, 24));
  EXPECT_NEAR(stored.SchemeStartTime, EncodeTime(8, 30, 0), 1e-9);
}

// With no start date yet, "Start on now" is checked and the edits follow the
// clock; confirming stores the moment shown.
TEST(SchemeForm, StartOnNowStoresTheCurrentDateAndTime) {
  TDateTime now = kNow;
  TSchemeForm form(nullptr, [&now] { return now; });
  form.Fill({1, 1, 0, 0}, "Every");
  EXPECT_TRUE(Child<QCheckBox>(form, "StartOnNowCheckBox")->isChecked());
  EXPECT_FALSE(Child<QLineEdit>(form, "DateEdit")->isEnabled());
  EXPECT_FALSE(Child<QLineEdit>(form, "TimeEdit")->isEnabled());
  EXPECT_EQ(Child<QLineEdit>(form, "DateEdit")->text(), ShortDate(kNow));
  now += EncodeTime(0, 0, 1);
  form.ShowNow();  // the one-second timer's work
  EXPECT_EQ(Child<QLineEdit>(form, "TimeEdit")->text(), LongTime(now));

  TRegScheme stored{1, 1, 0, 0};
  form.Store(stored);
  EXPECT_EQ(stored.SchemeStartDate, EncodeDate(2025, 3, 1));
  EXPECT_NEAR(stored.SchemeStartTime, EncodeTime(14, 3, 28), 1e-9);
  // The first due window is the ten seconds before 15:03:28 of the same day.
  EXPECT_FALSE(IsDue(stored, now + EncodeTime(0, 59, 40)));
  EXPECT_TRUE(IsDue(stored, now + EncodeTime(0, 59, 55)));

  // Unchecked, the edits are the user's and the clock no longer writes them.
  Child<QCheckBox>(form, "StartOnNowCheckBox")->setChecked(false);
  EXPECT_TRUE(Child<QLineEdit>(form, "DateEdit")->isEnabled());
  now += 1.0;
  form.ShowNow();
  EXPECT_EQ(Child<QLineEdit>(form, "DateEdit")->text(), ShortDate(kNow));
}

TEST(SchemeForm, TextThatIsNoDateOrTimeStoresZero) {
  TSchemeForm form(nullptr, [] { return kNow; });
  form.Fill({2, 2, EncodeDate(2025, 1, 1), 0}, "Daily");
  Child<QLineEdit>(form, "DateEdit")->setText("tomorrow");
  Child<QLineEdit>(form, "TimeEdit")->setText("noon");
  Child<QSpinBox>(form, "CountSpinBox")->setValue(0);
  TRegScheme stored{2, 2, 5, 5};
  form.Store(stored);
  EXPECT_EQ(stored.SchemeCount, 0);
  EXPECT_EQ(stored.SchemeStartDate, 0);
  EXPECT_EQ(stored.SchemeStartTime, 0);
  // The count stays within 0 to 100.
  Child<QSpinBox>(form, "CountSpinBox")->setValue(101);
  EXPECT_EQ(Child<QSpinBox>(form, "CountSpinBox")->value(), 100);
}

TEST(SchemeBox, TypeDropDownSetsTheTypeAndTheDescription) {
  RecordedDialogs dialogs;
  TSchemeBox box;
  const TRegScheme scheme{3, 2, EncodeDate(2025, 3, 1), EncodeTime(8, 0, 0)};
  box.Fill(scheme);
  box.TypeChanged();
  EXPECT_EQ(Child<QPlainTextEdit>(box, "SchemeDescriptionEdit")->toPlainText().toStdString(), Description(scheme));
  EXPECT_TRUE(Child<QPlainTextEdit>(box, "SchemeDescriptionEdit")->isReadOnly());

  Child<QComboBox>(box, "SchemeTypeComboBox")->setCurrentText("Monthly");
  TRegScheme stored;
  box.Store(stored);
  EXPECT_EQ(stored, (TRegScheme{3, 4, scheme.SchemeStartDate, scheme.SchemeStartTime}));
  EXPECT_NE(Child<QPlainTextEdit>(box, "SchemeDescriptionEdit")->toPlainText().indexOf("month(s)"), -1);

  // A type the list does not know shows as "None".
  box.Fill({1, 9, 0, 0});
  EXPECT_EQ(Child<QComboBox>(box, "SchemeTypeComboBox")->currentText(), "None");
}

TEST(SchemeBox, ChangeEditsTheScheduleThroughTheDialog) {
  RecordedDialogs dialogs;
  TSchemeBox box;
  box.Fill({1, 2, EncodeDate(2025, 3, 1), 0});
  box.TypeChanged();
  dialogs.Answer([](QDialog& d) {
    EXPECT_EQ(Child<QLabel>(d, "SchemeTypeLabel")->text(), "Daily");
    EXPECT_EQ(Child<QLabel>(d, "UnitLabel")->text(), "Day(s)");
    Child<QSpinBox>(d, "CountSpinBox")->setValue(4);
    Child<QLineEdit>(d, "DateEdit")->setText(ShortDate(EncodeDate(2025, 4, 2)));
    Child<QLineEdit>(d, "TimeEdit")->setText(LongTime(EncodeTime(6, 15, 0)));
    Click(d, "OKButton");
  });
  Click(box, "ChangeButton");
  TRegScheme stored;
  box.Store(stored);
  EXPECT_EQ(stored.SchemeType, 2);
  EXPECT_EQ(stored.SchemeCount, 4);
  EXPECT_EQ(stored.SchemeStartDate, EncodeDate(2025, 4, 2));
  EXPECT_EQ(Child<QPlainTextEdit>(box, "SchemeDescriptionEdit")->toPlainText().toStdString(), Description(stored));

  dialogs.Answer([](QDialog& d) {
    Child<QSpinBox>(d, "CountSpinBox")->setValue(9);
    Click(d, "CancelButton");
  });
  Click(box, "ChangeButton");
  TRegScheme after;
  box.Store(after);
  EXPECT_EQ(after, stored);
}

}  // namespace
}  // namespace vdk::test
