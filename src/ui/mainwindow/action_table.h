#pragma once

#include <span>

namespace vdk {

// How an action shows its state.
enum class TActionKind {
  Command,  // a plain command
  Check,    // a check item that toggles
  Sort,     // one of the four sort actions: exactly one of them is checked
};

// One named command of the main window. Captions may hold "&" for the
// keyboard accelerator; shortcuts are in QKeySequence's portable text.
struct TActionSpec {
  const char* Name;      // "TasksRunAction"; the handler is Name + "Execute"
  const char* Category;  // "Tasks", "Images", "View" or "Help"
  const char* Caption;
  const char* Shortcut;  // empty when none
  const char* Hint;      // shown in the status bar and as the tool tip
  const char* Icon;      // freedesktop theme name; a bundled picture of that name stands in
  TActionKind Kind = TActionKind::Command;
};

// An entry of a menu or tool bar: an action, or a separator (no action).
// WithCaption: a tool-bar button that shows its caption beside its glyph.
struct TBarItem {
  const char* Action = nullptr;
  bool WithCaption = false;

  bool IsSeparator() const { return Action == nullptr; }
};

// A menu, tool bar or pop-up menu of the main window.
struct TBarSpec {
  const char* Name;   // object name of the menu or tool bar
  const char* Title;  // the menu's caption; empty for tool bars and pop-ups
  std::span<const TBarItem> Items;
};

// Every action in the order of the table.
std::span<const TActionSpec> ActionTable();
// The four menus of the menu bar, in order.
std::span<const TBarSpec> MenuTable();
// The standard tool bar, the image tool bar and the three pop-up menus (task
// tree, images list, notification-area icon).
std::span<const TBarSpec> BarTable();
// The spec of one action by name; null when there is none.
const TActionSpec* FindActionSpec(const char* name);

// The wallpaper action is captioned differently on the standard tool bar.
inline constexpr const char* kWallpaperAction = "ImagesSetWallpaperAction";
inline constexpr const char* kWallpaperMenuCaption = "Set Wallpaper";

}  // namespace vdk
