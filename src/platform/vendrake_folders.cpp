#include "platform/vendrake_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "core/base/errors.h"
#include "core/base/path_utils.h"

namespace vdk {
namespace {

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::string UserHome() {
  if (auto home = Environment("HOME")) return AddSlash(*home);
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && *found->pw_dir != '\0')
    return AddSlash(found->pw_dir);
  throw EVendrakeError("Cannot find the user's home folder (HOME is not set)");
}

// $<xdgVariable>/, else ~/<fallback>/.
std::string XdgFolder(const char* xdgVariable, const char* fallback) {
  if (auto base = Environment(xdgVariable); base && base->front() == '/') return AddSlash(*base);
  return UserHome() + fallback + "/";
}

// $VENDRAKE_HOME, else $<xdgVariable>/vendrake/, else ~/<fallback>/vendrake/.
std::string VendrakeFolder(const char* xdgVariable, const char* fallback) {
  if (auto home = Environment("VENDRAKE_HOME")) return AddSlash(*home);
  return XdgFolder(xdgVariable, fallback) + "vendrake/";
}

}  // namespace

std::string VendrakeHome() { return VendrakeFolder("XDG_DATA_HOME", ".local/share"); }

std::string VendrakeConfigFolder() { return VendrakeFolder("XDG_CONFIG_HOME", ".config"); }

std::string UserHomeFolder() { return UserHome(); }

std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

}  // namespace vdk
