#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/test_server.h"

namespace vdk::test {

// One project of a project list as the tests write it.
struct ProjectRecord {
  std::string name;
  std::string url;
  std::string category;
  std::int32_t number = 0;
};

// The 604-byte records of a project list, fields zero-filled.
std::string ProjectListBytes(const std::vector<ProjectRecord>& records);

// A project server on the test server: "/projects/index.dat" names the lists
// in order, each served as "/projects/<name>".
using ProjectLists = std::vector<std::pair<std::string, std::vector<ProjectRecord>>>;
void ServeProjects(TestServer& server, const ProjectLists& lists);

// "127.0.0.1:<port>": the ProjectServer setting for the test server.
inline std::string ProjectServerOf(const TestServer& server) { return server.Host(); }

}  // namespace vdk::test
