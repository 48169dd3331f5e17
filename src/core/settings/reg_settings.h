#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/model/reg_options.h"
#include "core/settings/registry.h"

namespace vdk {

// The main window's placement and start-up prompts.
struct TRegWindow {
  std::int32_t Height = 400;
  std::int32_t Top = 0;
  std::int32_t Left = 0;
  std::int32_t Width = 600;
  std::uint8_t State = 0;  // 0 normal, 1 minimised, 2 maximised
  bool ShowMinPrompt = true;
  bool ShowTip = true;
  std::int32_t TipIndex = 0;  // the tip shown last

  bool operator==(const TRegWindow&) const = default;
};

// The main window's view toggles.
struct TRegMenu {
  bool ShowStatePanel = true;
  bool ShowStandardToolBar = true;
  bool ShowAllFiles = true;
  bool FitImages = false;
  std::uint8_t ImageSort = 0;  // 0 unsorted, 1 by name, 2 by size

  bool operator==(const TRegMenu&) const = default;
};

// Where the import finds ready-made projects when the settings name no
// project server: the address `make projects-server` serves the shipped
// project lists on.
inline constexpr std::string_view kDefaultProjectServer = "127.0.0.1:8418";

// The global settings: read once when the main window is created, written
// once when it closes, never in between.
class TRegSettings {
 public:
  // The store's keys live under "\Software\Vendrake"; programFolder (ending
  // with "/") holds the default folder tree "Images/...".
  TRegSettings(std::unique_ptr<TRegistry> registry, std::string programFolder);

  std::unique_ptr<TRegistry> Registry;
  TRegWindow Window;
  TRegMenu Menu;
  TRegOptions Options;  // the defaults of new tasks and the global-only settings
  // The project server's "host[:port]" (or an http:// or https:// address),
  // value "ProjectServer" of the options key. Missing, blank or mistyped, it
  // is kDefaultProjectServer; it never makes the other settings reset.
  std::string ProjectServer{kDefaultProjectServer};

  // Copies the three groups; the store stays.
  void Assign(const TRegSettings& other);

  // Fills Window, Menu and Options from the store. At the first value that
  // is missing or mistyped it stops, keeps what it has read, applies the
  // defaults and writes the complete set back; the result is then false.
  // Only a failure of that write reaches the caller.
  bool LoadFromRegistry();
  // Writes every value; the two list keys are deleted and written afresh so
  // that a shortened list leaves no stale entries. Errors reach the caller.
  void SaveToRegistry();
  // Writes ProjectServer alone (the command line changes just that).
  void SaveProjectServer();
  // Points the three folder settings at the default tree, appends the nine
  // default masks to FileMasks and creates the tree.
  void ApplyDefaults();

  const std::string& ProgramFolder() const { return programFolder_; }

 private:
  void ReadAll();
  void ResetFolders();
  void CreateDefaultFolders() const;

  std::string programFolder_;
};

}  // namespace vdk
