#pragma once
// The per-user data folder, where a downloaded station list waits for the
// load that reads and deletes it: $XDG_DATA_HOME/Wavecrest (by default
// ~/.local/share/Wavecrest), created with mode 0700 whenever its path is
// computed. When no home folder can be found, the folder of the running
// executable takes the place of the data home.

#include <string>

// The data folder, without a trailing slash. Creates it (and missing parents)
// with mode 0700; a failure to create it is ignored here: the later use of the
// folder fails instead.
std::string GetDataFolder();
// The folder of the running executable, without a trailing slash (empty when
// the executable's path is unknown or has no slash).
std::string GetModuleFolder();
// <data folder>/StationList.zip (creates the data folder as above).
std::string GetStationListPath();

// The rule itself: <base>/Wavecrest with repeated slashes collapsed, where the
// base is the data home, or the module folder when there is no data home.
std::string ComposeDataFolder(const std::string& dataHome, const std::string& moduleFolder);
