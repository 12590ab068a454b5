#pragma once

#include <string>

// The user's base folders as the freedesktop base-directory rules name them. A variable that
// is unset, empty or not an absolute path is ignored, as those rules ask; the home folder
// comes from $HOME, else from the user database. Empty when no home folder is known.
namespace wisp {

std::string UserHomeFolder();
std::string UserConfigFolder();  // $XDG_CONFIG_HOME, else ~/.config
std::string UserDataFolder();    // $XDG_DATA_HOME, else ~/.local/share

}  // namespace wisp
