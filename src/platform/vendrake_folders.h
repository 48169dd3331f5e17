#pragma once

#include <string>

namespace vdk {

// Where Vendrake keeps its files for the current user. Both folders end with
// "/" and are not created here. An environment variable that is empty counts
// as unset; XDG folders that are not absolute are ignored, as the XDG base
// directory rules say. Raises EVendrakeError when no home folder is known.

// The Vendrake home (what was the program folder: the "Images" tree and the
// image library): $VENDRAKE_HOME, else $XDG_DATA_HOME/vendrake/, else
// ~/.local/share/vendrake/.
std::string VendrakeHome();

// The folder of the settings store: $VENDRAKE_HOME, else
// $XDG_CONFIG_HOME/vendrake/, else ~/.config/vendrake/.
std::string VendrakeConfigFolder();

// The user's own folders, whatever VENDRAKE_HOME says: $HOME (else the
// password entry's), $XDG_DATA_HOME (else ~/.local/share/) and
// $XDG_CONFIG_HOME (else ~/.config/).
std::string UserHomeFolder();
std::string UserDataFolder();
std::string UserConfigFolder();

}  // namespace vdk
