#include "catalogue/DataFolder.h"

#include "platform/UserFolders.h"

namespace
{
const char kFolderName[] = "Wavecrest";
const char kStationListName[] = "StationList.zip";

// "a//b/" and "a/b/" both give "a/b/": a base ending in a slash gives no
// doubled separator.
std::string CollapseSlashes(const std::string& path)
{
    std::string out;
    out.reserve(path.size());
    for (const char c : path)
        if (c != '/' || out.empty() || out.back() != '/')
            out += c;
    return out;
}
} // namespace

std::string ComposeDataFolder(const std::string& dataHome, const std::string& moduleFolder)
{
    const std::string& base = dataHome.empty() ? moduleFolder : dataHome;
    return CollapseSlashes(base + "/" + kFolderName);
}

std::string GetModuleFolder()
{
    const std::string executable = platform::ExecutablePath();
    const auto slash = executable.find_last_of('/');
    return slash == std::string::npos ? std::string() : executable.substr(0, slash);
}

std::string GetDataFolder()
{
    const std::string dataHome = platform::DataHomeFolder();
    const std::string folder =
        ComposeDataFolder(dataHome, dataHome.empty() ? GetModuleFolder() : std::string());
    platform::MakeFolders(folder, 0700);
    return folder;
}

std::string GetStationListPath()
{
    return CollapseSlashes(GetDataFolder() + "/" + kStationListName);
}
