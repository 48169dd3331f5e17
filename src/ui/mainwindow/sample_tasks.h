#pragma once

#include <span>

namespace vdk {

// The tasks written into the project folder at the first start: two
// categories of public picture sites.
struct TSampleTask {
  const char* Name;
  const char* URL;
};

struct TSampleCategory {
  const char* Name;
  std::span<const TSampleTask> Tasks;
};

std::span<const TSampleCategory> SampleCategories();

}  // namespace vdk
