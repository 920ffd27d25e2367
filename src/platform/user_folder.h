#pragma once
#include <string>

namespace platform {

// The per-user configuration folder: $XDG_CONFIG_HOME, else $HOME/.config;
// a relative or empty value counts as unset. Empty when neither is usable.
// No '/' at the end.
std::string userConfigFolder();

// Creates the folder's last component only; the folders above it must
// exist. True when the folder was made or was there already.
bool makeLastFolder(const std::string& folder);

}  // namespace platform
