#pragma once

#include <string>
#include <vector>

namespace vdk {

class TRegistry;

// What makes the browser's "Download Images by Vendrake" reach the program:
// the D-Bus activation file (starts "vendrake --automation" when a request
// comes and nothing runs), the native-messaging host manifests of Chromium,
// Chrome and Firefox (naming vendrake-native-host and the extension allowed
// to call it), and the context-menu key in the settings store (default value:
// the installed extension's folder; "contexts" 34 for images and links).
// Paths follow XDG_DATA_HOME, XDG_CONFIG_HOME and HOME at construction.
class TBrowserRegistration {
 public:
  static constexpr const char* kHostName = "org.vendrake.vendrake";
  static constexpr const char* kChromiumExtensionId = "leoadamknppgapladkiajebjjmjgelkb";
  static constexpr const char* kFirefoxExtensionId = "vendrake@vendrake.org";
  static constexpr const char* kMenuKey =
      "\\Software\\Microsoft\\Internet Explorer\\MenuExt\\Download Images by Vendrake";
  static constexpr unsigned kContexts = 0x22;  // images (0x02) and links (0x20)

  // program: the vendrake executable; host: vendrake-native-host; extension:
  // the folder of the installed browser extension. Absolute paths.
  TBrowserRegistration(std::string program, std::string host, std::string extension);
  // The installed layout: the host beside the program (bin/), the extension
  // in share/vendrake/browser-extension beside bin/.
  static TBrowserRegistration ForProgram(const std::string& program);

  std::string ActivationFile() const { return activationFile_; }
  std::string ChromiumManifest() const { return chromiumManifest_; }
  std::string ChromeManifest() const { return chromeManifest_; }
  std::string FirefoxManifest() const { return firefoxManifest_; }
  // Every file Register writes, the ones above.
  std::vector<std::string> Files() const;

  std::string ActivationText() const;
  std::string ChromiumManifestText() const;  // Chromium and Chrome alike
  std::string FirefoxManifestText() const;

  // Writes the files (making their folders) and the key, and flushes the
  // store. Raises EFileError on the first file or store that cannot be written.
  void Register(TRegistry& store) const;
  // Removes exactly those files and the key. Raises EFileError when a file
  // that exists cannot be removed or the store cannot be written.
  void Unregister(TRegistry& store) const;

 private:
  std::string program_, host_, extension_;
  std::string activationFile_, chromiumManifest_, chromeManifest_, firefoxManifest_;
};

}  // namespace vdk
