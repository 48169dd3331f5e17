#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>

#include "core/base/errors.h"
#include "core/settings/reg_settings.h"
#include "core/settings/reg_tree.h"
#include "platform/reg_text.h"
#include "platform/registry_file.h"
#include "support/temp_dir.h"

extern char** environ;

namespace vdk {
namespace {

class RegistryFileTest : public ::testing::Test {
 protected:
  // In a folder that does not exist yet, as on a first start.
  std::string StorePath() const { return dir_ / "config/registry.reg"; }
  TRegTree StoredTree() const { return ParseRegText(test::ReadFile(StorePath())); }
  ino_t StoredInode() const {
    struct stat st;
    return ::stat(StorePath().c_str(), &st) == 0 ? st.st_ino : 0;
  }

  // The damaged stores kept beside the store.
  std::vector<std::string> SetAside() const {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ / "config"))
      if (entry.path().filename().string().starts_with("registry.reg.bad-")) paths.push_back(entry.path());
    return paths;
  }

  test::TempDir dir_;
};

TEST_F(RegistryFileTest, ChangesReachTheFileAtFlush) {
  TRegistryFile store(StorePath());
  ASSERT_TRUE(store.OpenKey("\\Software\\Vendrake\\Window", true));
  EXPECT_TRUE(store.GetValueNames().empty());
  store.WriteInteger("Left", 7);
  EXPECT_FALSE(test::FileExists(StorePath()));

  TRegistryFile reader(StorePath());
  ASSERT_TRUE(reader.OpenKey("\\Software\\Vendrake\\Window", true));
  store.Flush();
  EXPECT_FALSE(reader.ValueExists("Left"));  // its copy is refreshed only at OpenKey
  ASSERT_TRUE(reader.OpenKey("\\Software\\Vendrake\\Window", false));
  EXPECT_EQ(reader.ReadInteger("Left"), 7);

  struct stat st;
  ASSERT_EQ(::stat(StorePath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(test::ReadFile(StorePath()),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Vendrake]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Vendrake\\Window]\n\"Left\"=dword:00000007\n\n");
}

TEST_F(RegistryFileTest, FlushKeepsWhatOtherWritersStoredMeanwhile) {
  TRegistryFile setup(StorePath());
  ASSERT_TRUE(setup.OpenKey("\\Software\\Vendrake\\Options\\FileMasks", true));
  setup.WriteString("0", "gif, Saved");
  setup.WriteString("1", "jpg, Saved");
  setup.Flush();

  TRegistryFile gui(StorePath()), cli(StorePath());
  ASSERT_TRUE(gui.OpenKey("\\Software\\Vendrake\\Window", true));
  ASSERT_TRUE(cli.OpenKey("\\Software\\Vendrake\\Menu", true));
  gui.WriteInteger("Left", 1);
  gui.Flush();
  // cli's copy predates gui's write; its own changes are applied to the file
  // as it is now.
  cli.WriteInteger("FitImages", 1);
  cli.DeleteKey("\\Software\\Vendrake\\Options\\FileMasks");
  ASSERT_TRUE(cli.OpenKey("\\Software\\Vendrake\\Options\\FileMasks", true));
  cli.WriteString("0", "png, Saved");
  cli.Flush();

  TRegTree expected;
  expected.CreateKey("Software\\Vendrake\\Options\\FileMasks").Put("0", TRegValue::OfString("png, Saved"));
  expected.CreateKey("Software\\Vendrake\\Window").Put("Left", TRegValue::OfDWord(1));
  expected.CreateKey("Software\\Vendrake\\Menu").Put("FitImages", TRegValue::OfDWord(1));
  EXPECT_EQ(StoredTree(), expected);
  EXPECT_EQ(cli.Tree(), expected);
}

TEST_F(RegistryFileTest, FlushThatChangesNothingLeavesTheFileAlone) {
  TRegistryFile store(StorePath());
  ASSERT_TRUE(store.OpenKey("\\Software\\Vendrake\\Window", true));
  store.WriteInteger("Left", 7);
  store.Flush();
  const ino_t before = StoredInode();
  store.WriteInteger("Left", 7);
  store.DeleteValue("Missing");
  store.Flush();
  EXPECT_EQ(StoredInode(), before);
}

TEST_F(RegistryFileTest, DamagedStoreIsKeptAsideAndReplacedByDefaults) {
  const std::string damaged = test::ReadFile(std::string(VENDRAKE_TEST_DATA) + "registry_truncated.reg");
  std::filesystem::create_directories(dir_ / "config");
  test::WriteFile(StorePath(), damaged);

  TRegSettings settings(std::make_unique<TRegistryFile>(StorePath()), dir_ / "home/");
  EXPECT_FALSE(settings.LoadFromRegistry());
  EXPECT_EQ(settings.Window.Left, 0);  // nothing of the damaged file is trusted

  const std::vector<std::string> setAside = SetAside();
  ASSERT_EQ(setAside.size(), 1u);
  EXPECT_EQ(test::ReadFile(setAside[0]), damaged);

  TRegSettings again(std::make_unique<TRegistryFile>(StorePath()), dir_ / "home/");
  EXPECT_TRUE(again.LoadFromRegistry());
  EXPECT_EQ(again.Options.DefaultFolder, dir_ / "home/Images/Downloaded Files/");
}

TEST_F(RegistryFileTest, AKeyPastTheBoundsMakesTheStoreDamaged) {
  TRegistryFile setup(StorePath());
  ASSERT_TRUE(setup.OpenKey("\\Software\\Vendrake\\Window", true));
  setup.WriteInteger("Left", 7);
  setup.Flush();
  std::string deep;
  for (std::size_t i = 0; i <= kMaxKeyDepth; ++i) deep += "\\k";
  const std::string damaged = test::ReadFile(StorePath()) + "[HKEY_CURRENT_USER" + deep + "]\n";
  test::WriteFile(StorePath(), damaged);

  TRegSettings settings(std::make_unique<TRegistryFile>(StorePath()), dir_ / "home/");
  EXPECT_FALSE(settings.LoadFromRegistry());
  EXPECT_EQ(settings.Window.Left, 0);
  const std::vector<std::string> setAside = SetAside();
  ASSERT_EQ(setAside.size(), 1u);
  EXPECT_EQ(test::ReadFile(setAside[0]), damaged);

  // Nor can such a key be written, which would make a store that does not read back.
  TRegistryFile store(StorePath());
  EXPECT_THROW(store.OpenKey(deep, true), ERegistryError);
}

TEST_F(RegistryFileTest, UnreadableStoreRaises) {
  std::filesystem::create_directories(StorePath());  // a folder where the file belongs
  TRegistryFile store(StorePath());
  EXPECT_THROW(store.OpenKey("\\Software", true), EFileError);
}

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  EXPECT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
  return pid;
}

int ExitCode(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegistryFileTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kWrites = 150;
  const pid_t first = Spawn({REGISTRY_WRITER, StorePath(), "\\Software\\Vendrake\\First", std::to_string(kWrites)});
  const pid_t second = Spawn({REGISTRY_WRITER, StorePath(), "\\Software\\Vendrake\\Second", std::to_string(kWrites)});
  ASSERT_EQ(ExitCode(first), 0);
  ASSERT_EQ(ExitCode(second), 0);

  TRegistryFile store(StorePath());
  for (const char* key : {"\\Software\\Vendrake\\First", "\\Software\\Vendrake\\Second"}) {
    ASSERT_TRUE(store.OpenKey(key, false)) << key;
    ASSERT_EQ(store.GetValueNames().size(), static_cast<std::size_t>(kWrites)) << key;
    for (int i = 0; i < kWrites; ++i) EXPECT_EQ(store.ReadInteger(std::to_string(i)), i) << key;
  }
}

}  // namespace
}  // namespace vdk
