#include "platform/browser_registration.h"

#include <cerrno>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <system_error>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/settings/registry.h"
#include "platform/vendrake_folders.h"

namespace vdk {
namespace {

namespace fs = std::filesystem;

constexpr const char* kManifestFile = "org.vendrake.vendrake.json";
constexpr const char* kHostDescription = "Vendrake: Download Images by Vendrake";

void WriteText(const std::string& path, const std::string& text) {
  std::error_code error;
  fs::create_directories(fs::path(path).parent_path(), error);
  if (error) throw EFileError("Cannot create the folder of " + path, path, error.value());
  WriteFileAtomically(path, DefaultFileMode(), [&text](std::ostream& out) { out << text; });
}

void RemoveFile(const std::string& path) {
  std::error_code error;
  fs::remove(path, error);
  if (error) throw EFileError("Cannot delete " + path, path, error.value());
}

// The Exec line of a D-Bus service file takes the path as it is; a path with
// blanks or quotes is quoted as the desktop-entry rules say.
std::string ExecArgument(const std::string& path) {
  if (path.find_first_of(" \t\"\\'$`") == std::string::npos) return path;
  std::string quoted = "\"";
  for (const char c : path) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

TBrowserRegistration::TBrowserRegistration(std::string program, std::string host, std::string extension)
    : program_(std::move(program)),
      host_(std::move(host)),
      extension_(std::move(extension)),
      activationFile_(UserDataFolder() + "dbus-1/services/org.vendrake.Vendrake.service"),
      chromiumManifest_(UserConfigFolder() + "chromium/NativeMessagingHosts/" + kManifestFile),
      chromeManifest_(UserConfigFolder() + "google-chrome/NativeMessagingHosts/" + kManifestFile),
      firefoxManifest_(UserHomeFolder() + ".mozilla/native-messaging-hosts/" + kManifestFile) {}

TBrowserRegistration TBrowserRegistration::ForProgram(const std::string& program) {
  const fs::path bin = fs::path(program).parent_path();
  return TBrowserRegistration(program, (bin / "vendrake-native-host").string(),
                              (bin.parent_path() / "share/vendrake/browser-extension").lexically_normal().string());
}

std::vector<std::string> TBrowserRegistration::Files() const {
  return {activationFile_, chromiumManifest_, chromeManifest_, firefoxManifest_};
}

std::string TBrowserRegistration::ActivationText() const {
  return "[D-BUS Service]\nName=org.vendrake.Vendrake\nExec=" + ExecArgument(program_) + " --automation\n";
}

std::string TBrowserRegistration::ChromiumManifestText() const {
  const nlohmann::json manifest = {
      {"name", kHostName},
      {"description", kHostDescription},
      {"path", host_},
      {"type", "stdio"},
      {"allowed_origins", {std::string("chrome-extension://") + kChromiumExtensionId + "/"}},
  };
  return manifest.dump(2) + "\n";
}

std::string TBrowserRegistration::FirefoxManifestText() const {
  const nlohmann::json manifest = {
      {"name", kHostName},
      {"description", kHostDescription},
      {"path", host_},
      {"type", "stdio"},
      {"allowed_extensions", {kFirefoxExtensionId}},
  };
  return manifest.dump(2) + "\n";
}

void TBrowserRegistration::Register(TRegistry& store) const {
  WriteText(activationFile_, ActivationText());
  WriteText(chromiumManifest_, ChromiumManifestText());
  WriteText(chromeManifest_, ChromiumManifestText());
  WriteText(firefoxManifest_, FirefoxManifestText());
  // The key follows the files, as it follows the server's own registration.
  store.OpenKey(kMenuKey, true);
  store.WriteString("", extension_);
  store.WriteInteger("contexts", static_cast<std::int32_t>(kContexts));
  store.Flush();
}

void TBrowserRegistration::Unregister(TRegistry& store) const {
  for (const std::string& file : Files()) RemoveFile(file);
  store.DeleteKey(kMenuKey);
  store.Flush();
}

}  // namespace vdk
