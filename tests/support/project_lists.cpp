#include "support/project_lists.h"

#include <cstring>

namespace vdk::test {
namespace {

constexpr std::size_t kFieldSize = 200;
constexpr std::size_t kRecordSize = 604;

void PutField(std::string& record, std::size_t offset, const std::string& text) {
  std::memcpy(record.data() + offset, text.data(), std::min(text.size(), kFieldSize - 1));
}

}  // namespace

std::string ProjectListBytes(const std::vector<ProjectRecord>& records) {
  std::string bytes;
  for (const ProjectRecord& r : records) {
    std::string record(kRecordSize, '\0');
    const auto number = static_cast<std::uint32_t>(r.number);
    for (int i = 0; i < 4; ++i) record[static_cast<std::size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
    PutField(record, 4, r.name);
    PutField(record, 204, r.url);
    PutField(record, 404, r.category);
    bytes += record;
  }
  return bytes;
}

void ServeProjects(TestServer& server, const ProjectLists& lists) {
  std::string index;
  for (const auto& [name, records] : lists) {
    index += name + "\n";
    server.Serve("/projects/" + name, {.body = ProjectListBytes(records), .contentType = "application/octet-stream"});
  }
  server.Serve("/projects/index.dat", {.body = index, .contentType = "text/plain"});
}

}  // namespace vdk::test
