// The progress views the workers write into: the shared log and the report,
// and the log file written at Exit (the found-files list has its own file).

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "core/model/task.h"
#include "support/qt_printers.h"
#include "support/temp_dir.h"
#include "ui/mainwindow/log_model.h"
#include "ui/mainwindow/report_model.h"
#include "ui/mainwindow/rtf_log.h"

namespace vdk {
namespace {

TEST(LogModel, LinesAreShownInBatches) {
  TLogModel log;
  QSignalSpy inserted(&log, &QAbstractItemModel::rowsInserted);
  for (int i = 0; i < 1000; ++i) log.AppendLine("line " + std::to_string(i));
  EXPECT_EQ(log.rowCount(), 0) << "not before the flush";
  EXPECT_EQ(log.Lines().size(), 1000u) << "but kept";
  log.Flush();
  EXPECT_EQ(log.rowCount(), 1000);
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(log.index(999).data().toString(), "line 999");
}

TEST(LogModel, TheFlushComesByItself) {
  TLogModel log;
  log.AppendLine("soon");
  QSignalSpy inserted(&log, &QAbstractItemModel::rowsInserted);
  EXPECT_TRUE(inserted.wait(5000));
  EXPECT_EQ(log.rowCount(), 1);
}

TEST(LogModel, KeepsOnlyTheLastLinesUpToItsCap) {
  TLogModel log(nullptr, 100);
  for (int i = 0; i < 70; ++i) log.AppendLine(std::to_string(i));
  log.Flush();
  for (int i = 70; i < 150; ++i) log.AppendLine(std::to_string(i));
  log.Flush();
  ASSERT_EQ(log.rowCount(), 100);
  EXPECT_EQ(log.index(0).data().toString(), "50");
  EXPECT_EQ(log.index(99).data().toString(), "149");
  for (int i = 150; i < 400; ++i) log.AppendLine(std::to_string(i));  // a burst longer than the cap
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines.front(), "300");
  log.Flush();
  EXPECT_EQ(log.rowCount(), 100);
  EXPECT_EQ(log.index(0).data().toString(), "300");
}

TEST(ReportModel, ThreeRowsThatFollowTheTask) {
  TTask task;
  task.Name = "Cats";
  task.URL.SetURI("http://cats.example/index.html");
  TReportModel report;
  EXPECT_TRUE(report.IsEmpty());
  EXPECT_EQ(report.rowCount(), 0);
  report.FillReport(task);
  ASSERT_EQ(report.rowCount(), 3);
  const auto cell = [&](int r, int c) { return report.index(r, c).data().toString(); };
  EXPECT_EQ(cell(0, 0), "Name");
  EXPECT_EQ(cell(0, 1), "Cats");
  EXPECT_EQ(cell(0, 2), "Name of project");
  EXPECT_EQ(cell(1, 1), "http://cats.example/index.html");
  EXPECT_EQ(cell(1, 2), "Primary URL");
  EXPECT_EQ(cell(2, 0), "Files");
  EXPECT_EQ(cell(2, 1), "0/0");
  EXPECT_EQ(cell(2, 2), "Finished/Found");
  // The counters come from the task file: one item, done.
  auto item = std::make_shared<TTaskItem>(&task, "http://cats.example/a.jpg");
  item->SetDone(true);
  task.Items.Append(item);
  test::TempDir dir;
  task.SaveToFile(dir / "cats.wrp");
  task.LoadFromFile(dir / "cats.wrp");
  QSignalSpy changed(&report, &QAbstractItemModel::dataChanged);
  report.UpdateReportFiles(task);
  report.UpdateReportFiles(task);
  EXPECT_EQ(cell(2, 1), "1/1");
  EXPECT_EQ(changed.count(), 1) << "one cell, and only when it changes";
  report.ClearReport();
  EXPECT_EQ(report.rowCount(), 0);
}

TEST(RtfLog, LinesBecomeParagraphsWithEscapes) {
  const std::string rtf = LogAsRtf({"[1] - a {b} c\\d", "\xC3\xA9t\xC3\xA9 \xF0\x9F\x90\x88", "bad \xFF byte"});
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("[1] - a \\{b\\} c\\\\d\\par\n"), std::string::npos);
  EXPECT_NE(rtf.find("\\u233?t\\u233? \\u-10179?\\u-9208?\\par"), std::string::npos);
  EXPECT_NE(rtf.find("bad \\'ff byte\\par"), std::string::npos);
  EXPECT_EQ(rtf.back(), '\n');
  EXPECT_EQ(rtf[rtf.size() - 2], '}');
}

TEST(RtfLog, TheFileIsNamedAfterTheDecimalDate) {
  EXPECT_EQ(LogFileName(45678.5, '.'), "45678.5.rtf");
  EXPECT_EQ(LogFileName(45678.5, ','), "45678,5.rtf");
  EXPECT_EQ(LogFileName(45678.123456789012345, '.'), "45678.123456789.rtf") << "15 significant digits";
  EXPECT_EQ(LogFileName(45678, '.'), "45678.rtf");
}

TEST(RtfLog, SavingWritesOneFileIntoTheFolder) {
  test::TempDir dir;
  const std::string path = SaveLogFile(dir.Path(), {"one", "two"}, 45678.25, '.');
  EXPECT_EQ(path, dir / "45678.25.rtf");
  EXPECT_NE(test::ReadFile(path).find("two\\par"), std::string::npos);
}

}  // namespace
}  // namespace vdk
