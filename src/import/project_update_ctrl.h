#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/net/http_client.h"
#include "core/settings/reg_settings.h"
#include "import/project_item.h"

namespace vdk {

// The project server's address as the "ProjectServer" setting gives it:
// "host[:port]" (optionally with a path) means "http://host[:port]/projects/";
// a value starting with "http://" or "https://" keeps its scheme. A blank
// setting means kDefaultProjectServer.
std::string ProjectServerBase(std::string_view setting);
// A setting that gives a usable address: not blank, no blanks or control
// bytes, and no scheme but http:// or https://.
bool IsValidProjectServer(std::string_view setting);

// The address of a project-list file under the base: the name as the index
// gives it, with every byte that is not an unreserved URL character
// percent-encoded ("a b.dat" asks for "a%20b.dat").
std::string ProjectFileURL(const std::string& base, std::string_view fileName);

// Limits of the fetches from a project server, which is not trusted.
struct TProjectFetchLimits {
  std::int64_t MaxIndexBytes = std::int64_t{1} << 20;
  std::int64_t MaxListBytes = std::int64_t{4} << 20;  // about 6,900 projects
  // No byte for this long fails a fetch, and so does a fetch that takes
  // longer than TotalTimeOut in all.
  std::chrono::seconds ReadTimeOut{20};
  std::chrono::seconds TotalTimeOut{60};
};

// Fetches and parses the index and the project lists of one project server.
// Each thread that fetches has its own controller.
// Threads: used by one thread; Cancel may be called from any thread.
class TProjectUpdateCtrl {
 public:
  explicit TProjectUpdateCtrl(std::string baseURL, TProjectFetchLimits limits = {});

  // Fetches "index.dat" and appends its lines to names, without their line
  // ends (LF, or CR LF). Raises EHttpError when the fetch fails (also when the
  // index is larger than MaxIndexBytes).
  void GetIndex(std::vector<std::string>& names);
  // Fetches and parses a project list; nullptr when the fetch or the parse
  // fails. An empty file gives an empty list.
  std::shared_ptr<TProjectItems> GetProjectList(std::string_view fileName);

  // Ends the fetch in flight and fails every later one at once.
  void Cancel() { http_.Cancel(); }

  // The index's lines: an LF ends a line (a CR before it is dropped too),
  // the last line may lack its LF, and an LF at the very end adds no line.
  static void AppendIndexLines(std::string_view data, std::vector<std::string>& names);

 private:
  std::string Fetch(const std::string& url, std::int64_t maxBytes);

  std::string base_;
  TProjectFetchLimits limits_;
  THttpClient http_;
};

}  // namespace vdk
