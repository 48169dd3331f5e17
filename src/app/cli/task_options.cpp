#include "app/cli/task_options.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/cli/cli_error.h"
#include "core/base/path_utils.h"
#include "core/base/text_utils.h"

namespace vdk::cli {
namespace {

std::string Mask(const std::string& spec) {
  const auto comma = spec.find(',');
  const std::string_view ext = Trim(std::string_view(spec).substr(0, comma));
  const std::string_view folder = comma == std::string::npos ? "Saved" : Trim(std::string_view(spec).substr(comma + 1));
  if (ext.empty() || ext.find('.') != std::string_view::npos)
    throw ECliError(kExitUsage, "Invalid mask \"" + spec + "\": give an extension without dot, as jpg or jpg,Pictures");
  return std::string(ext) + ", " + std::string(folder.empty() ? "Saved" : folder);
}

void ApplyProxy(const std::string& proxy, TRegOptions& o) {
  const auto colon = proxy.rfind(':');
  const auto port = colon == std::string::npos ? std::nullopt : ParseInt32(std::string_view(proxy).substr(colon + 1));
  if (colon == 0 || !port || *port < 1 || *port > 65535)
    throw ECliError(kExitUsage, "Invalid proxy \"" + proxy + "\": give HOST:PORT");
  o.UseProxyServer = true;
  o.ProxyServerAddr = proxy.substr(0, colon);
  o.ProxyServerPort = *port;
}

std::string ReadPassword(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw ECliError(kExitFiles, "Cannot read the password file \"" + path + "\": " + std::strerror(errno));
  std::string password;
  std::getline(in, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return password;
}

int Positive(const char* what, int value) {
  if (value < 0) throw ECliError(kExitUsage, std::string("Invalid ") + what + ": " + std::to_string(value));
  return value;
}

}  // namespace

void RequireCrawlableURL(const std::string& url) {
  const TIdURI uri(url);
  const std::string scheme = LowerCase(uri.Protocol());
  if (!uri.IsValid() || (scheme != "http" && scheme != "https"))
    throw ECliError(kExitUsage, "Invalid URL \"" + url + "\": give an http:// or https:// address or a task file");
  if (const auto port = ParseInt32(uri.Port()); !uri.Port().empty() && (!port || *port < 1 || *port > 65535))
    throw ECliError(kExitUsage, "Invalid URL \"" + url + "\": the port must be a number from 1 to 65535");
}

void ApplyRunOptions(const TRunOptions& options, TTask& task) {
  TRegOptions& o = task.Options;
  if (options.Depth) o.SeekDeep = Positive("depth", *options.Depth);
  if (options.TimeOut) o.TimeOut = Positive("time-out", *options.TimeOut);
  if (!options.Masks.empty()) {
    o.FileMasks.clear();
    for (const auto& spec : options.Masks) o.FileMasks.push_back(Mask(spec));
  }
  for (const auto& name : options.Excludes) o.ExcludeFiles.push_back(name);
  if (options.MinSize) o.FileMinSize = Positive("minimum size", *options.MinSize);
  if (options.MaxSize) o.FileMaxSize = Positive("maximum size", *options.MaxSize);
  if (options.MinSize || options.MaxSize) o.EnableFileLimit = true;
  if (options.NoSizeLimit) o.EnableFileLimit = false;
  if (o.EnableFileLimit && o.FileMinSize >= o.FileMaxSize) {
    if (options.MinSize || options.MaxSize)
      throw ECliError(kExitUsage, "The minimum size must be below the maximum size");
    throw ECliError(kExitFiles, "The task file \"" + task.FileName + "\" is damaged: its minimum size (" +
                                    std::to_string(o.FileMinSize) + " KB) is not below its maximum size (" +
                                    std::to_string(o.FileMaxSize) + " KB); give --min-size and --max-size, or " +
                                    "--no-size-limit");
  }
  if (options.SaveFolder) {
    if (Trim(*options.SaveFolder).empty()) throw ECliError(kExitUsage, "The save folder is empty: give a folder");
    o.DefaultFolder = AddSlash(std::filesystem::absolute(*options.SaveFolder).string());
  }
  if (options.Proxy) ApplyProxy(*options.Proxy, o);
  if (options.User) {
    o.NeedToLogin = true;
    o.UserName = *options.User;
    o.Password = options.PasswordFile ? ReadPassword(*options.PasswordFile) : std::string();
  }
}

void CheckSaveFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  fs::path existing(folder);
  if (existing.filename().empty()) existing = existing.parent_path();  // "dir/" would follow a link named dir
  std::error_code ec;
  // The nearest part of the path that is there, a link that leads nowhere included.
  while (!fs::exists(fs::symlink_status(existing, ec)) && existing.has_relative_path())
    existing = existing.parent_path();
  std::string reason;
  if (fs::is_symlink(fs::symlink_status(existing, ec)) && !fs::exists(existing, ec))
    reason = "\"" + existing.string() + "\" is a link to a folder that does not exist";
  else if (!fs::is_directory(existing, ec))
    reason = "\"" + existing.string() + "\" is not a folder";
  else if (::access(existing.c_str(), W_OK | X_OK) != 0)
    reason = std::strerror(errno);
  if (!reason.empty()) throw ECliError(kExitFiles, "Cannot write to the save folder \"" + folder + "\": " + reason);
}

}  // namespace vdk::cli
