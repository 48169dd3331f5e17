#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/vendrake_folders.h"
#include "support/scoped_env.h"

namespace vdk {
namespace {

using test::ScopedEnv;

TEST(VendrakeFolders, VendrakeHomeHoldsEverything) {
  const ScopedEnv home("VENDRAKE_HOME", "/srv/vd");
  const ScopedEnv data("XDG_DATA_HOME", "/xdg/data");
  EXPECT_EQ(VendrakeHome(), "/srv/vd/");
  EXPECT_EQ(VendrakeConfigFolder(), "/srv/vd/");
}

TEST(VendrakeFolders, XdgFoldersThenTheHomeDefaults) {
  const ScopedEnv vendrake("VENDRAKE_HOME", "");  // empty counts as unset
  const ScopedEnv user("HOME", "/home/u");
  {
    const ScopedEnv data("XDG_DATA_HOME", "/xdg/data/");
    const ScopedEnv config("XDG_CONFIG_HOME", "/xdg/config");
    EXPECT_EQ(VendrakeHome(), "/xdg/data/vendrake/");
    EXPECT_EQ(VendrakeConfigFolder(), "/xdg/config/vendrake/");
  }
  const ScopedEnv data("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
  const ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(VendrakeHome(), "/home/u/.local/share/vendrake/");
  EXPECT_EQ(VendrakeConfigFolder(), "/home/u/.config/vendrake/");
}

}  // namespace
}  // namespace vdk
