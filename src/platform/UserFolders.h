#pragma once
// The per-user folders of the XDG base-directory rules, and the running
// executable's own path.

#include <string>
#include <sys/types.h>

namespace platform
{

// $HOME, or the home folder of the user's account; empty when there is none.
std::string HomeFolder();
// $XDG_CONFIG_HOME, else ~/.config; empty without a home.
std::string ConfigFolder();
// $XDG_DATA_HOME, else ~/.local/share; empty without a home.
std::string DataHomeFolder();
// $XDG_RUNTIME_DIR when it is the user's own folder with mode 0700, else a
// private folder of the user's under /tmp (created with mode 0700 and checked
// the same way); empty when neither can be used safely.
std::string RuntimeFolder();
// $TMPDIR, else /tmp.
std::string TemporaryFolder();

// Creates a folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path, mode_t mode);

// The full path of the running executable (empty if it cannot be found).
std::string ExecutablePath();

} // namespace platform
