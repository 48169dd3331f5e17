#include "app/cli/cli_context.h"

#include <cstdio>

#include "app/cli/cli_error.h"
#include "core/base/errors.h"
#include "core/net/default_proxy.h"
#include "platform/registry_file.h"
#include "platform/vendrake_folders.h"

namespace vdk::cli {

TCliContext LoadContext() {
  try {
    TCliContext context;
    context.Home = VendrakeHome();
    auto store = std::make_unique<TRegistryFile>(VendrakeConfigFolder() + "registry.reg");
    const TRegistryFile& file = *store;
    context.Settings = std::make_unique<TRegSettings>(std::move(store), context.Home);
    context.Settings->LoadFromRegistry();
    if (!file.KeptAs().empty()) WarnKeptAside("The settings store", file.Path(), file.KeptAs());
    // Tasks whose own options do not turn a proxy on use the settings' one.
    SetDefaultProxy(context.Settings->Options);
    return context;
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, std::string("Cannot read the settings: ") + e.what());
  }
}

void WarnKeptAside(const std::string& what, const std::string& path, const std::string& keptAs) {
  std::fprintf(stderr, "vendrake-cli: %s %s could not be read; it was kept as %s and a new one is started.\n",
               what.c_str(), path.c_str(), keptAs.c_str());
}

std::shared_ptr<TTask> LoadTaskFile(const std::string& path) {
  auto task = std::make_shared<TTask>();
  try {
    task->LoadFromFile(path);
  } catch (const EFormatError& e) {
    throw ECliError(kExitFiles, path + ": " + e.what());
  } catch (const EVendrakeError& e) {
    throw ECliError(kExitFiles, e.what());
  }
  return task;
}

}  // namespace vdk::cli
