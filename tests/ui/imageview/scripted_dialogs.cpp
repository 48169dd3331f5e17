#include "scripted_dialogs.h"

#include <gtest/gtest.h>

namespace vdk::test {
namespace {

class Scripted : public TImagesDialogs {
 public:
  explicit Scripted(DialogScript& script) : script_(script) {}

  QString PickFolder(QWidget*, const QString& title) override {
    script_.pickerTitles << title;
    return script_.folder;
  }
  TOverwriteAnswer AskOverwrite(QWidget*, const QString& source, const QString& target) override {
    script_.clashes.emplace_back(source, target);
    EXPECT_FALSE(script_.overwrite.empty()) << "unexpected overwrite question for " << target.toStdString();
    if (script_.overwrite.empty()) return {TOverwriteChoice::Skip, false};
    const TOverwriteAnswer answer = script_.overwrite.front();
    script_.overwrite.pop_front();
    return answer;
  }
  std::optional<TWallpaperStyle> AskWallpaperStyle(QWidget*) override {
    ++script_.wallpaperAsked;
    return script_.wallpaper;
  }
  void View(QWidget*, const QStringList& files, int index) override {
    ++script_.viewerOpened;
    script_.viewedFiles = files;
    script_.viewedIndex = index;
  }

 private:
  DialogScript& script_;
};

}  // namespace

std::unique_ptr<TImagesDialogs> ScriptedDialogs(DialogScript& script) { return std::make_unique<Scripted>(script); }

}  // namespace vdk::test
