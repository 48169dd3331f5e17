// Writes values into a settings store file many times, each change flushed on
// its own, as a second process would: registry_writer <store> <key> <count>.
// Writes value "i" = i into key for i = 0 .. count - 1.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/registry_file.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: registry_writer <store> <key> <count>\n");
    return 2;
  }
  try {
    vdk::TRegistryFile store(argv[1]);
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
      store.OpenKey(argv[2], true);
      store.WriteInteger(std::to_string(i), i);
      store.Flush();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "registry_writer: %s\n", e.what());
    return 1;
  }
  return 0;
}
