#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/errors.h"
#include "core/settings/memory_registry.h"
#include "core/settings/reg_settings.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using Names = std::vector<std::string>;

constexpr std::string_view kOptionsKey = "\\Software\\Vendrake\\Options";
constexpr std::string_view kMasksKey = "\\Software\\Vendrake\\Options\\FileMasks";
constexpr std::string_view kSchemeKey = "\\Software\\Vendrake\\Options\\Scheme";

const Names kDefaultMasks = {"gif, Saved", "jpg, Saved", "jpeg, Saved", "pcx, Saved", "tiff, Saved",
                             "tif, Saved", "bmp, Saved", "png, Saved",  "wmf, Saved"};

class RegSettingsTest : public ::testing::Test {
 protected:
  // Settings over the shared store; a fresh object has the constructor's
  // defaults, as at every program start.
  TRegSettings Fresh() { return TRegSettings(std::exchange(registry_, nullptr), home_.Path()); }
  void Keep(TRegSettings& settings) { registry_ = std::move(settings.Registry); }

  TRegistry& Store() { return *registry_; }
  Names ValueNames(std::string_view key) {
    EXPECT_TRUE(Store().OpenKey(key, false));
    return Store().GetValueNames();
  }
  std::string Home(const std::string& below) const { return home_.Path() + below; }

  // A complete store with custom folders below the home and two masks.
  void SaveCustomSettings() {
    for (const char* folder : {"dl", "logs", "projects"}) std::filesystem::create_directory(Home(folder));
    TRegSettings settings = Fresh();
    settings.Window.Left = 11;
    settings.Window.State = 2;
    settings.Menu.ImageSort = 1;
    settings.Options.DefaultFolder = Home("dl/");
    settings.Options.DefaultLogFolder = Home("logs/");
    settings.Options.ProjectPath = Home("projects/");
    settings.Options.ProxyServerAddr = "proxy.example";
    settings.Options.TimeOut = 42;
    settings.Options.FileMasks = {"gif, Gifs", "png, Pngs"};
    settings.Options.ExcludeFiles = {"spacer.gif"};
    settings.Options.Scheme = {3, 2, 46082.0, 0.5};
    settings.SaveToRegistry();
    Keep(settings);
  }

  test::TempDir home_;
  std::unique_ptr<TRegistry> registry_ = std::make_unique<TMemoryRegistry>();
};

TEST_F(RegSettingsTest, FirstStartWritesEveryDefaultAndCreatesTheFolders) {
  TRegSettings settings = Fresh();
  EXPECT_FALSE(settings.LoadFromRegistry());
  for (const char* folder : {"Images", "Images/Downloaded Files", "Images/Logs", "Images/Projects"})
    EXPECT_TRUE(std::filesystem::is_directory(Home(folder))) << folder;
  EXPECT_EQ(settings.Options.DefaultFolder, Home("Images/Downloaded Files/"));
  EXPECT_EQ(settings.Options.DefaultLogFolder, Home("Images/Logs/"));
  EXPECT_EQ(settings.Options.ProjectPath, Home("Images/Projects/"));
  EXPECT_EQ(settings.Options.FileMasks, kDefaultMasks);
  Keep(settings);

  EXPECT_EQ(ValueNames("\\Software\\Vendrake\\Window"),
            (Names{"Left", "Top", "Width", "Height", "State", "ShowMinPrompt", "TipIndex", "ShowTip"}));
  EXPECT_EQ(Store().ReadInteger("Width"), 600);
  EXPECT_EQ(Store().ReadInteger("ShowTip"), 1);
  EXPECT_EQ(ValueNames("\\Software\\Vendrake\\Menu"),
            (Names{"ShowStandardToolBar", "ShowStatePanel", "ShowAllFiles", "FitImages", "ImageSort"}));
  EXPECT_EQ(Store().ReadInteger("FitImages"), 0);
  EXPECT_EQ(ValueNames(kOptionsKey),
            (Names{"DefaultFolder", "EnableFileLimit", "FileMaxSize", "FileMinSize", "SeekDeep", "AutoShutDown",
                   "UseProxyServer", "ProxyServerAddr", "ProxyServerPort", "DefaultLogFolder", "AutoSaveLog",
                   "ProjectPath", "DefaultTaskAdded", "TimeOut", "ProjectServer"}));
  EXPECT_EQ(Store().ReadString("ProjectServer"), "127.0.0.1:8418");
  EXPECT_EQ(Store().ReadString("DefaultFolder"), Home("Images/Downloaded Files/"));
  EXPECT_EQ(Store().ReadInteger("FileMaxSize"), 10240);
  EXPECT_EQ(Store().ReadString("ProxyServerAddr"), "192.168.0.1");
  EXPECT_EQ(ValueNames(kMasksKey), (Names{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(Store().ReadString("8"), "wmf, Saved");
  EXPECT_TRUE(ValueNames("\\Software\\Vendrake\\Options\\ExcludeFiles").empty());
  EXPECT_EQ(ValueNames(kSchemeKey), (Names{"SchemeType", "SchemeCount", "SchemeStartDate", "SchemeStartTime"}));
  EXPECT_EQ(Store().ReadBinaryData("SchemeStartDate"), std::string(8, '\0'));

  // The second start reads what the first wrote.
  TRegSettings again = Fresh();
  EXPECT_TRUE(again.LoadFromRegistry());
  EXPECT_EQ(again.Window, settings.Window);
  EXPECT_EQ(again.Menu, settings.Menu);
  EXPECT_EQ(again.Options, settings.Options);
}

TEST_F(RegSettingsTest, StoredValuesReadBack) {
  SaveCustomSettings();
  ASSERT_TRUE(Store().OpenKey("\\Software\\Vendrake\\Window", false));
  Store().WriteInteger("State", 0x102);  // the low byte counts
  ASSERT_TRUE(Store().OpenKey(kOptionsKey, false));
  Store().WriteString("DefaultFolder", Home("dl"));  // a folder gains its slash

  TRegSettings settings = Fresh();
  EXPECT_TRUE(settings.LoadFromRegistry());
  EXPECT_EQ(settings.Window.Left, 11);
  EXPECT_EQ(settings.Window.State, 2);
  EXPECT_EQ(settings.Menu.ImageSort, 1);
  EXPECT_EQ(settings.Options.DefaultFolder, Home("dl/"));
  EXPECT_EQ(settings.Options.ProjectPath, Home("projects/"));
  EXPECT_EQ(settings.Options.ProxyServerAddr, "proxy.example");
  EXPECT_EQ(settings.Options.FileMasks, (Names{"gif, Gifs", "png, Pngs"}));
  EXPECT_EQ(settings.Options.ExcludeFiles, Names{"spacer.gif"});
  EXPECT_EQ(settings.Options.Scheme, (TRegScheme{3, 2, 46082.0, 0.5}));
  EXPECT_EQ(settings.Options.TimeOut, 42);
}

TEST_F(RegSettingsTest, TheProjectServerNeverCostsTheOtherSettings) {
  SaveCustomSettings();
  ASSERT_TRUE(Store().OpenKey(kOptionsKey, false));
  Store().DeleteValue("ProjectServer");  // a store from before the setting
  TRegSettings missing = Fresh();
  EXPECT_TRUE(missing.LoadFromRegistry());
  EXPECT_EQ(missing.ProjectServer, kDefaultProjectServer);
  EXPECT_EQ(missing.Options.TimeOut, 42);
  Keep(missing);

  ASSERT_TRUE(Store().OpenKey(kOptionsKey, false));
  Store().WriteInteger("ProjectServer", 7);
  TRegSettings mistyped = Fresh();
  EXPECT_TRUE(mistyped.LoadFromRegistry());
  EXPECT_EQ(mistyped.ProjectServer, kDefaultProjectServer);
  EXPECT_EQ(mistyped.Options.ProxyServerAddr, "proxy.example");
  Keep(mistyped);

  // Kept when another value is missing and the rest is repaired.
  ASSERT_TRUE(Store().OpenKey(kOptionsKey, false));
  Store().WriteString("ProjectServer", "projects.example.org:8080");
  ASSERT_TRUE(Store().OpenKey("\\Software\\Vendrake\\Window", false));
  Store().DeleteValue("Left");
  TRegSettings repaired = Fresh();
  EXPECT_FALSE(repaired.LoadFromRegistry());
  EXPECT_EQ(repaired.ProjectServer, "projects.example.org:8080");
  Keep(repaired);
  ASSERT_TRUE(Store().OpenKey(kOptionsKey, false));
  EXPECT_EQ(Store().ReadString("ProjectServer"), "projects.example.org:8080");
}

TEST_F(RegSettingsTest, MissingTimeOutKeepsWhatWasReadAndRepairsTheRest) {
  SaveCustomSettings();
  ASSERT_TRUE(Store().OpenKey(kOptionsKey, false));
  Store().DeleteValue("TimeOut");

  TRegSettings settings = Fresh();
  EXPECT_FALSE(settings.LoadFromRegistry());
  EXPECT_EQ(settings.Window.Left, 11);
  EXPECT_EQ(settings.Options.ProxyServerAddr, "proxy.example");
  EXPECT_EQ(settings.Options.DefaultFolder, Home("Images/Downloaded Files/"));
  EXPECT_EQ(settings.Options.ProjectPath, Home("Images/Projects/"));
  EXPECT_EQ(settings.Options.FileMasks, kDefaultMasks);  // the stored list was never reached
  EXPECT_TRUE(settings.Options.ExcludeFiles.empty());
  EXPECT_EQ(settings.Options.TimeOut, 5);
  Keep(settings);
  ASSERT_TRUE(Store().OpenKey(kOptionsKey, false));
  EXPECT_EQ(Store().ReadInteger("TimeOut"), 5);
}

TEST_F(RegSettingsTest, MissingSchemeStartTimeDoublesTheMasks) {
  SaveCustomSettings();
  ASSERT_TRUE(Store().OpenKey(kSchemeKey, false));
  Store().DeleteValue("SchemeStartTime");

  TRegSettings settings = Fresh();
  EXPECT_FALSE(settings.LoadFromRegistry());
  Names expected = {"gif, Gifs", "png, Pngs"};
  expected.insert(expected.end(), kDefaultMasks.begin(), kDefaultMasks.end());
  EXPECT_EQ(settings.Options.FileMasks, expected);
  EXPECT_EQ(settings.Options.Scheme.SchemeStartDate, 46082.0);  // read before the failure
  EXPECT_EQ(settings.Options.Scheme.SchemeStartTime, 0.0);
  Keep(settings);
  EXPECT_EQ(ValueNames(kMasksKey).size(), 11u);
}

TEST_F(RegSettingsTest, OneMissingFolderResetsAllThree) {
  SaveCustomSettings();
  std::filesystem::remove(Home("projects"));

  TRegSettings settings = Fresh();
  EXPECT_TRUE(settings.LoadFromRegistry());  // a repair, not a failure
  EXPECT_EQ(settings.Options.DefaultFolder, Home("Images/Downloaded Files/"));
  EXPECT_EQ(settings.Options.DefaultLogFolder, Home("Images/Logs/"));
  EXPECT_EQ(settings.Options.ProjectPath, Home("Images/Projects/"));
  EXPECT_TRUE(std::filesystem::is_directory(Home("Images/Projects")));
  EXPECT_EQ(settings.Options.FileMasks, (Names{"gif, Gifs", "png, Pngs"}));
}

TEST_F(RegSettingsTest, ShortenedListLeavesNoStaleValues) {
  TRegSettings settings = Fresh();
  settings.Options.FileMasks = {"a, A", "b, B", "c, C", "d, D", "e, E"};
  settings.SaveToRegistry();
  settings.Options.FileMasks.resize(2);
  settings.SaveToRegistry();
  Keep(settings);
  EXPECT_EQ(ValueNames(kMasksKey), (Names{"0", "1"}));
}

// Each damaged value makes loading fall back to the defaults, which are then
// written; a missing text value alone is no failure.
TEST_F(RegSettingsTest, DamagedValuesTriggerTheFallback) {
  struct Damage {
    std::string_view Key;
    std::string Name;
    std::optional<TRegValue> Value;  // none: deleted
    bool Fails;
  };
  const Damage cases[] = {
      {kSchemeKey, "SchemeStartDate", TRegValue::OfBinary(std::string_view("\0\0\0\0", 4)), true},
      {kSchemeKey, "SchemeStartTime", TRegValue::OfDWord(0), true},
      {"\\Software\\Vendrake\\Window", "Left", TRegValue::OfString("10"), true},
      {"\\Software\\Vendrake\\Menu", "ShowAllFiles", std::nullopt, true},
      {kOptionsKey, "ProxyServerAddr", TRegValue::OfDWord(1), true},
      {kMasksKey, "1", TRegValue::OfBinary("x"), true},
      {kOptionsKey, "ProxyServerAddr", std::nullopt, false},
  };
  for (const Damage& damage : cases) {
    SCOPED_TRACE(damage.Name);
    SaveCustomSettings();
    ASSERT_TRUE(Store().OpenKey(damage.Key, false));
    if (damage.Value) {
      Store().PutValue(damage.Name, *damage.Value);
    } else {
      Store().DeleteValue(damage.Name);
    }
    TRegSettings settings = Fresh();
    EXPECT_EQ(settings.LoadFromRegistry(), !damage.Fails);
    Keep(settings);
    TRegSettings repaired = Fresh();
    EXPECT_TRUE(repaired.LoadFromRegistry());
    Keep(repaired);
  }
}

// A store that accepts changes but cannot make them durable.
class UnwritableRegistry : public TMemoryRegistry {
 public:
  void Flush() override { throw EFileError("Cannot write", "registry.reg", 28); }
};

TEST_F(RegSettingsTest, OnlyAFailingWriteReachesTheCaller) {
  TRegSettings settings(std::make_unique<UnwritableRegistry>(), home_.Path());
  EXPECT_THROW(settings.LoadFromRegistry(), EFileError);
  EXPECT_THROW(settings.SaveToRegistry(), EFileError);
}

TEST_F(RegSettingsTest, AssignCopiesTheThreeGroups) {
  TRegSettings a = Fresh();
  TRegSettings b(std::make_unique<TMemoryRegistry>(), home_.Path());
  a.Window.TipIndex = 7;
  a.Menu.FitImages = true;
  a.Options.SeekDeep = 2;
  a.ProjectServer = "projects.example.org";
  b.Assign(a);
  EXPECT_EQ(b.Window, a.Window);
  EXPECT_EQ(b.Menu, a.Menu);
  EXPECT_EQ(b.Options, a.Options);
  EXPECT_EQ(b.ProjectServer, "projects.example.org");
  EXPECT_NE(b.Registry, a.Registry);
}

}  // namespace
}  // namespace vdk
