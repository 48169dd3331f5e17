// The browser registration in a temporary home: exactly its files and its
// key, the paths the XDG variables choose, and the switches that ask for it.

#include "platform/browser_registration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "core/base/errors.h"
#include "platform/program_switches.h"
#include "platform/registry_file.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

std::set<std::string> FilesBelow(const std::string& folder) {
  std::set<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) found.insert(entry.path().string());
  return found;
}

class BrowserRegistrationTest : public ::testing::Test {
 protected:
  TempDir temp;
  const ScopedEnv home{"HOME", temp / "home"};
  const ScopedEnv data{"XDG_DATA_HOME", temp / "data"};
  const ScopedEnv config{"XDG_CONFIG_HOME", temp / "config"};
  const std::string storePath = temp / "store/registry.reg";
  const TBrowserRegistration registration{"/opt/my apps/bin/vendrake", "/opt/my apps/bin/vendrake-native-host",
                                          "/opt/my apps/share/vendrake/browser-extension"};
};

TEST_F(BrowserRegistrationTest, RegisterWritesItsFilesAndKeyAndUnregisterRemovesExactlyThem) {
  fs::create_directories(temp / "store");
  fs::create_directories(temp / "config/chromium/NativeMessagingHosts");
  // Files and keys of others in the same places stay.
  WriteFile(temp / "config/chromium/NativeMessagingHosts/other.json", "{}");
  {
    TRegistryFile store(storePath);
    store.OpenKey("\\Software\\Vendrake\\Window", true);
    store.WriteInteger("Left", 7);
    store.Flush();
  }
  TRegistryFile store(storePath);
  registration.Register(store);

  EXPECT_EQ(FilesBelow(temp / "data"),
            std::set<std::string>{temp / "data/dbus-1/services/org.vendrake.Vendrake.service"});
  EXPECT_EQ(ReadFile(registration.ActivationFile()),
            "[D-BUS Service]\nName=org.vendrake.Vendrake\nExec=\"/opt/my apps/bin/vendrake\" --automation\n");
  EXPECT_EQ(FilesBelow(temp / "config"),
            (std::set<std::string>{temp / "config/chromium/NativeMessagingHosts/org.vendrake.vendrake.json",
                                   temp / "config/chromium/NativeMessagingHosts/other.json",
                                   temp / "config/google-chrome/NativeMessagingHosts/org.vendrake.vendrake.json"}));
  EXPECT_EQ(FilesBelow(temp / "home"),
            std::set<std::string>{temp / "home/.mozilla/native-messaging-hosts/org.vendrake.vendrake.json"});

  const auto chromium = nlohmann::json::parse(ReadFile(registration.ChromiumManifest()));
  EXPECT_EQ(chromium["name"], "org.vendrake.vendrake");
  EXPECT_EQ(chromium["type"], "stdio");
  EXPECT_EQ(chromium["path"], "/opt/my apps/bin/vendrake-native-host");
  EXPECT_EQ(chromium["allowed_origins"],
            nlohmann::json::array({"chrome-extension://leoadamknppgapladkiajebjjmjgelkb/"}));
  EXPECT_EQ(ReadFile(registration.ChromeManifest()), ReadFile(registration.ChromiumManifest()));
  const auto firefox = nlohmann::json::parse(ReadFile(registration.FirefoxManifest()));
  EXPECT_EQ(firefox["path"], "/opt/my apps/bin/vendrake-native-host");
  EXPECT_EQ(firefox["allowed_extensions"], nlohmann::json::array({"vendrake@vendrake.org"}));
  EXPECT_FALSE(firefox.contains("allowed_origins"));

  {
    TRegistryFile stored(storePath);  // what another process reads
    ASSERT_TRUE(stored.OpenKey(TBrowserRegistration::kMenuKey, false));
    EXPECT_EQ(stored.ReadString(""), "/opt/my apps/share/vendrake/browser-extension");
    EXPECT_EQ(stored.ReadInteger("contexts"), 34);
  }

  registration.Unregister(store);
  EXPECT_TRUE(FilesBelow(temp / "data").empty());
  EXPECT_EQ(FilesBelow(temp / "config"),
            std::set<std::string>{temp / "config/chromium/NativeMessagingHosts/other.json"});
  EXPECT_TRUE(FilesBelow(temp / "home").empty());
  TRegistryFile stored(storePath);
  EXPECT_FALSE(stored.OpenKey(TBrowserRegistration::kMenuKey, false));
  ASSERT_TRUE(stored.OpenKey("\\Software\\Vendrake\\Window", false));
  EXPECT_EQ(stored.ReadInteger("Left"), 7);

  // Unregistering what is not there is no error.
  EXPECT_NO_THROW(registration.Unregister(store));
}

TEST_F(BrowserRegistrationTest, WithoutXdgFoldersTheHomeDecides) {
  const ScopedEnv noData("XDG_DATA_HOME", std::nullopt);
  const ScopedEnv relativeConfig("XDG_CONFIG_HOME", "relative");  // not absolute: ignored
  const TBrowserRegistration plain("/usr/bin/vendrake", "/usr/bin/vendrake-native-host", "/usr/share/x");
  EXPECT_EQ(plain.ActivationFile(), temp / "home/.local/share/dbus-1/services/org.vendrake.Vendrake.service");
  EXPECT_EQ(plain.ChromiumManifest(), temp / "home/.config/chromium/NativeMessagingHosts/org.vendrake.vendrake.json");
  EXPECT_EQ(plain.ChromeManifest(),
            temp / "home/.config/google-chrome/NativeMessagingHosts/org.vendrake.vendrake.json");
  EXPECT_EQ(plain.ActivationText(),
            "[D-BUS Service]\nName=org.vendrake.Vendrake\nExec=/usr/bin/vendrake --automation\n");
}

TEST_F(BrowserRegistrationTest, AFolderThatCannotBeMadeIsAnError) {
  WriteFile(temp / "data", "a file where the folder should be");
  TRegistryFile store(storePath);
  EXPECT_THROW(registration.Register(store), EFileError);
  TRegistryFile stored(storePath);
  EXPECT_FALSE(stored.OpenKey(TBrowserRegistration::kMenuKey, false)) << "no key without the files";
}

TEST(ProgramSwitches, AnyCaseAfterDashDoubleDashOrSlash) {
  using enum TProgramSwitch;
  EXPECT_EQ(FindProgramSwitch({"--regserver"}), RegServer);
  EXPECT_EQ(FindProgramSwitch({"/RegServer"}), RegServer);
  EXPECT_EQ(FindProgramSwitch({"-UNREGSERVER"}), UnregServer);
  EXPECT_EQ(FindProgramSwitch({"--Automation"}), Automation);
  EXPECT_EQ(FindProgramSwitch({"/embedding"}), Automation);
  EXPECT_EQ(FindProgramSwitch({"file.txt", "-Embedding", "--regserver"}), Automation) << "the first one counts";
  EXPECT_EQ(FindProgramSwitch({}), None);
  for (const char* other : {"regserver", "---regserver", "--regserver=1", "-", "/", "--reg", "//regserver"})
    EXPECT_EQ(FindProgramSwitch({other}), None) << other;
}

}  // namespace
}  // namespace vdk
