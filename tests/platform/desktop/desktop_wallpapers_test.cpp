#include <gtest/gtest.h>

#include <deque>

#include "platform/desktop/desktop_wallpapers.h"

namespace vdk {
namespace {

struct Call {
  QString program;
  QStringList arguments;
};

// Records the calls a wallpaper service makes and answers them from a
// script (success with no output unless told otherwise).
class RecordingCalls : public TSessionCalls {
 public:
  TCallResult Run(const QString& program, const QStringList& arguments) override {
    calls.push_back({program, arguments});
    return Next();
  }
  TCallResult CallSessionBus(const QString& service, const QString& path, const QString& interface,
                             const QString& method, const QString& argument) override {
    calls.push_back({QStringLiteral("dbus"), {service, path, interface, method, argument}});
    return Next();
  }

  std::vector<Call> calls;
  std::deque<TCallResult> answers;

 private:
  TCallResult Next() {
    if (answers.empty()) return {true, {}, {}};
    TCallResult answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class DesktopWallpapers : public ::testing::Test {
 protected:
  std::unique_ptr<TWallpaper> Make(TDesktopKind kind) { return MakeDesktopWallpaper(kind, calls_, "test"); }
  std::shared_ptr<RecordingCalls> calls_ = std::make_shared<RecordingCalls>();
};

TEST(DesktopKind, ComesFromTheCurrentDesktopList) {
  EXPECT_EQ(DesktopFromName("GNOME"), TDesktopKind::Gnome);
  EXPECT_EQ(DesktopFromName("ubuntu:GNOME"), TDesktopKind::Gnome);
  EXPECT_EQ(DesktopFromName("Budgie:GNOME"), TDesktopKind::Gnome);
  EXPECT_EQ(DesktopFromName("KDE"), TDesktopKind::Plasma);
  EXPECT_EQ(DesktopFromName("XFCE"), TDesktopKind::Xfce);
  EXPECT_EQ(DesktopFromName("LXQt"), TDesktopKind::Unknown);
  EXPECT_EQ(DesktopFromName(""), TDesktopKind::Unknown);
}

TEST_F(DesktopWallpapers, GnomeSetsBothPicturesAndTheOptions) {
  Make(TDesktopKind::Gnome)->Set("/home/u/.local/share/vendrake/Wallpaper/it's 1.jpg", TWallpaperStyle::Tile);
  ASSERT_EQ(calls_->calls.size(), 3u);
  const QString schema = QStringLiteral("org.gnome.desktop.background");
  const QString uri = QStringLiteral("'file:///home/u/.local/share/vendrake/Wallpaper/it\\'s%201.jpg'");
  EXPECT_EQ(calls_->calls[0].program, "gsettings");
  EXPECT_EQ(calls_->calls[0].arguments, (QStringList{"set", schema, "picture-uri", uri}));
  EXPECT_EQ(calls_->calls[1].arguments, (QStringList{"set", schema, "picture-uri-dark", uri}));
  EXPECT_EQ(calls_->calls[2].arguments, (QStringList{"set", schema, "picture-options", "'wallpaper'"}));
}

TEST_F(DesktopWallpapers, GnomeStylesAndAnOlderGnomeWithoutTheDarkPicture) {
  const std::pair<TWallpaperStyle, const char*> styles[] = {{TWallpaperStyle::Center, "'centered'"},
                                                            {TWallpaperStyle::Stretch, "'stretched'"},
                                                            {TWallpaperStyle::Max, "'scaled'"}};
  for (const auto& [style, option] : styles) {
    calls_->calls.clear();
    calls_->answers = {{true, {}, {}}, {false, {}, "No such key"}};
    EXPECT_NO_THROW(Make(TDesktopKind::Gnome)->Set("/w.jpg", style));
    ASSERT_EQ(calls_->calls.size(), 3u);
    EXPECT_EQ(calls_->calls[2].arguments.last(), option);
  }
}

TEST_F(DesktopWallpapers, GnomeRefusalIsAnError) {
  calls_->answers = {{false, {}, "dconf is read-only"}};
  try {
    Make(TDesktopKind::Gnome)->Set("/w.jpg", TWallpaperStyle::Center);
    FAIL() << "no error";
  } catch (const EWallpaperError& error) {
    EXPECT_NE(std::string(error.what()).find("dconf is read-only"), std::string::npos);
  }
}

TEST_F(DesktopWallpapers, PlasmaRunsAScriptInItsShell) {
  Make(TDesktopKind::Plasma)->Set("/pics/a b.png", TWallpaperStyle::Max);
  ASSERT_EQ(calls_->calls.size(), 1u);
  const QStringList& call = calls_->calls[0].arguments;
  EXPECT_EQ(call.mid(0, 4),
            (QStringList{"org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell", "evaluateScript"}));
  EXPECT_TRUE(call[4].contains("d.writeConfig(\"Image\", \"file:///pics/a%20b.png\");")) << call[4].toStdString();
  EXPECT_TRUE(call[4].contains("d.writeConfig(\"FillMode\", 1);"));
  EXPECT_TRUE(call[4].contains("\"org.kde.image\""));
}

TEST_F(DesktopWallpapers, XfceSetsEveryBackdrop) {
  calls_->answers = {{true,
                      "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                      "/backdrop/screen0/monitorHDMI-1/workspace0/image-style\n"
                      "/backdrop/screen0/monitoreDP-1/workspace1/last-image\n"
                      "/desktop-icons/style\n",
                      {}}};
  Make(TDesktopKind::Xfce)->Set("/w.jpg", TWallpaperStyle::Stretch);
  ASSERT_EQ(calls_->calls.size(), 5u);
  EXPECT_EQ(calls_->calls[0].arguments, (QStringList{"-c", "xfce4-desktop", "-l"}));
  const QString first = QStringLiteral("/backdrop/screen0/monitorHDMI-1/workspace0/");
  EXPECT_EQ(calls_->calls[1].arguments,
            (QStringList{"-c", "xfce4-desktop", "-p", first + "last-image", "-n", "-t", "string", "-s", "/w.jpg"}));
  EXPECT_EQ(calls_->calls[2].arguments,
            (QStringList{"-c", "xfce4-desktop", "-p", first + "image-style", "-n", "-t", "int", "-s", "3"}));
  EXPECT_EQ(calls_->calls[3].arguments[3], "/backdrop/screen0/monitoreDP-1/workspace1/last-image");
}

TEST_F(DesktopWallpapers, XfceWithoutBackdropsIsAnError) {
  calls_->answers = {{true, "/desktop-icons/style\n", {}}};
  EXPECT_THROW(Make(TDesktopKind::Xfce)->Set("/w.jpg", TWallpaperStyle::Center), EWallpaperError);
  EXPECT_EQ(calls_->calls.size(), 1u);
}

TEST_F(DesktopWallpapers, AnUnknownDesktopSaysItIsNotSupported) {
  try {
    MakeDesktopWallpaper(TDesktopKind::Unknown, calls_, "LXQt")->Set("/w.jpg", TWallpaperStyle::Center);
    FAIL() << "no error";
  } catch (const EWallpaperError& error) {
    EXPECT_NE(std::string(error.what()).find("LXQt"), std::string::npos);
  }
  EXPECT_TRUE(calls_->calls.empty());
}

}  // namespace
}  // namespace vdk
