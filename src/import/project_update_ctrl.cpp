#include "import/project_update_ctrl.h"

#include <sstream>

#include "core/base/text_utils.h"

namespace vdk {
namespace {

// The client's options: no proxy, no login; only the read time-out is set.
TRegOptions FetchOptions(const TProjectFetchLimits& limits) {
  TRegOptions options;
  options.TimeOut = static_cast<std::int32_t>(limits.ReadTimeOut.count());
  return options;
}

bool IsUnreserved(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

}  // namespace

std::string ProjectServerBase(std::string_view setting) {
  std::string_view server = Trim(setting);
  if (server.empty()) server = kDefaultProjectServer;
  while (server.ends_with('/')) server.remove_suffix(1);
  const std::string lower = LowerCase(server);
  const bool hasScheme = lower.starts_with("http://") || lower.starts_with("https://");
  return (hasScheme ? "" : "http://") + std::string(server) + "/projects/";
}

bool IsValidProjectServer(std::string_view setting) {
  const std::string_view server = Trim(setting);
  if (server.empty() || HasControlByte(server) || server.find(' ') != server.npos) return false;
  const std::string lower = LowerCase(server);
  const auto scheme = lower.find("://");
  if (scheme == std::string::npos) return server.front() != '/';
  return (lower.starts_with("http://") || lower.starts_with("https://")) && server.size() > scheme + 3 &&
         server[scheme + 3] != '/';
}

std::string ProjectFileURL(const std::string& base, std::string_view fileName) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = base;
  for (const char c : fileName) {
    if (IsUnreserved(c)) {
      url += c;
    } else {
      const auto b = static_cast<unsigned char>(c);
      url += '%';
      url += kHex[b >> 4];
      url += kHex[b & 0x0F];
    }
  }
  return url;
}

TProjectUpdateCtrl::TProjectUpdateCtrl(std::string baseURL, TProjectFetchLimits limits)
    : base_(std::move(baseURL)), limits_(limits), http_(FetchOptions(limits_), "") {}

std::string TProjectUpdateCtrl::Fetch(const std::string& url, std::int64_t maxBytes) {
  // A server that trickles its answer byte by byte never trips the read
  // time-out; the whole fetch has a deadline too.
  const auto deadline = std::chrono::steady_clock::now() + limits_.TotalTimeOut;
  http_.OnWork = [deadline, url](std::int64_t) {
    if (std::chrono::steady_clock::now() > deadline) throw EHttpError(url + ": the server is too slow");
  };
  std::string body;
  http_.Get(
      url,
      [&](const char* data, std::size_t size) {
        body.append(data, size);
        return true;
      },
      maxBytes);
  return body;
}

void TProjectUpdateCtrl::GetIndex(std::vector<std::string>& names) {
  AppendIndexLines(Fetch(base_ + "index.dat", limits_.MaxIndexBytes), names);
}

std::shared_ptr<TProjectItems> TProjectUpdateCtrl::GetProjectList(std::string_view fileName) {
  try {
    std::istringstream data(Fetch(ProjectFileURL(base_, fileName), limits_.MaxListBytes));
    auto projects = std::make_shared<TProjectItems>();
    projects->LoadFromStream(data);
    return projects;
  } catch (const std::exception&) {
    // Whatever went wrong (network, server, size, parse), the group shows no
    // projects.
    return nullptr;
  }
}

void TProjectUpdateCtrl::AppendIndexLines(std::string_view data, std::vector<std::string>& names) {
  while (!data.empty()) {
    const std::size_t end = data.find('\n');
    std::string_view line = data.substr(0, end);
    if (end != data.npos && line.ends_with('\r')) line.remove_suffix(1);
    names.emplace_back(line);
    data.remove_prefix(end == data.npos ? data.size() : end + 1);
  }
}

}  // namespace vdk
