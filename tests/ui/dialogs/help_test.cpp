#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include "dialog_test_support.h"
#include "support/recorded_services.h"
#include "support/temp_dir.h"
#include "ui/dialogs/help.h"
#include "ui/dialogs/help_window.h"

namespace vdk::test {
namespace {

constexpr THelpTopic kTopics[] = {THelpTopic::Contents, THelpTopic::DefaultOptions, THelpTopic::NewTask,
                                  THelpTopic::Collect, THelpTopic::Library};

QString ReadPage(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return QString::fromUtf8(file.readAll());
}

TEST(Help, EveryTopicHasAPageWhoseLinksAndPicturesExist) {
  const QString folder = HelpFolder();
  ASSERT_FALSE(folder.isEmpty());
  for (THelpTopic topic : kTopics) {
    const QString page = QDir(folder).filePath(HelpPageOf(topic));
    const QString text = ReadPage(page);
    EXPECT_TRUE(text.contains("<title>")) << page.toStdString();
    const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#:]+)"));
    for (const auto& match : reference.globalMatch(text)) {
      const QString target = QDir(folder).filePath(match.captured(1));
      EXPECT_TRUE(QFile::exists(target)) << page.toStdString() << " refers to " << target.toStdString();
    }
  }
}

TEST(HelpWindow, OpensTheTopicAskedFor) {
  THelpWindow window(HelpFolder());
  for (THelpTopic topic : kTopics) {
    ASSERT_TRUE(window.OpenTopic(topic));
    EXPECT_EQ(window.Source().fileName(), HelpPageOf(topic));
  }
  EXPECT_FALSE(Child<QTextBrowser>(window, "HelpBrowser")->toPlainText().isEmpty());
}

TEST(HelpWindow, LinksStayInsideAndWebLinksGoToTheBrowser) {
  TempDir dir;
  WriteFile(dir / "index.html",
            "<html><head><title>Contents</title></head><body>"
            "<a href=\"new-task.html\">task</a> <a href=\"https://vendrake.example/\">web</a></body></html>");
  WriteFile(dir / "new-task.html", "<html><head><title>New task</title></head><body>New</body></html>");
  RecordedShell shell;
  THelpWindow window(QString::fromStdString(dir.Path()));
  ASSERT_TRUE(window.OpenTopic(THelpTopic::Contents));
  auto* browser = Child<QTextBrowser>(window, "HelpBrowser");
  emit browser->anchorClicked(QUrl("https://vendrake.example/"));
  EXPECT_EQ(shell.Opened(), (std::vector<QUrl>{QUrl("https://vendrake.example/")}));
  EXPECT_EQ(window.Source().fileName(), "index.html");

  emit browser->anchorClicked(window.Source().resolved(QUrl("new-task.html")));
  EXPECT_EQ(window.Source().fileName(), "new-task.html");
  EXPECT_EQ(window.windowTitle(), "Vendrake Help - New task");
  EXPECT_TRUE(Child<QPushButton>(window, "BackButton")->isEnabled());
  Click(window, "BackButton");
  EXPECT_EQ(window.Source().fileName(), "index.html");
  Click(window, "ContentsButton");
  EXPECT_EQ(window.Source().fileName(), "index.html");
}

TEST(HelpWindow, AMissingPageIsNotOpened) {
  TempDir dir;
  WriteFile(dir / "index.html", "<html><head><title>Contents</title></head><body>x</body></html>");
  THelpWindow window(QString::fromStdString(dir.Path()));
  EXPECT_TRUE(window.OpenTopic(THelpTopic::Contents));
  EXPECT_FALSE(window.OpenTopic(THelpTopic::Library));
  EXPECT_EQ(window.Source().fileName(), "index.html");
}

}  // namespace
}  // namespace vdk::test
