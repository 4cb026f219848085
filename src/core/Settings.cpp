#include "core/Settings.h"

#include "core/Identifiers.h"
#include "core/SettingsTable.h"
#include "platform/SettingsFile.h"
#include "platform/UserFolders.h"

#include <wx/string.h>

namespace
{
const char kSettingsGroup[] = "Settings";
const char kWorkspaceGroup[] = "Workspace";

std::string& OverriddenPath()
{
    static std::string path;
    return path;
}

platform::CSettingsFile File()
{
    return platform::CSettingsFile(GetSettingsFilePath());
}

int Read(const char* group, const wxString& name, int defaultValue)
{
    return File().ReadInt(group, name.utf8_string()).value_or(defaultValue);
}
} // namespace

std::string DefaultSettingsFilePath()
{
    const std::string config = platform::ConfigFolder();
    if (config.empty())
        return std::string();
    return config + "/" + wc::kCompanyKey + "/" + wc::kAppTitle + ".conf";
}

void SetSettingsFilePath(const std::string& path)
{
    OverriddenPath() = path;
}

std::string GetSettingsFilePath()
{
    return OverriddenPath().empty() ? DefaultSettingsFilePath() : OverriddenPath();
}

int GetSettingInt(const wxString& name, int defaultValue)
{
    return Read(kSettingsGroup, name, defaultValue);
}

void WriteSettingInt(const wxString& name, int value)
{
    WriteSettingIntChecked(name, value);
}

bool WriteSettingIntChecked(const wxString& name, int value)
{
    return File().WriteInt(kSettingsGroup, name.utf8_string(), value);
}

std::string GetSettingText(const wxString& name)
{
    return File().ReadValue(kSettingsGroup, name.utf8_string()).value_or(std::string());
}

bool WriteSettingText(const wxString& name, const std::string& value)
{
    if (value.find_first_of("\r\n") != std::string::npos)
        return false;
    return File().WriteValue(kSettingsGroup, name.utf8_string(), value);
}

int GetWorkspaceInt(const wxString& name, int defaultValue)
{
    return Read(kWorkspaceGroup, name, defaultValue);
}

bool WriteWorkspaceInt(const wxString& name, int value)
{
    return File().WriteInt(kWorkspaceGroup, name.utf8_string(), value);
}

int GetSetting(const SettingInfo& info)
{
    return GetSettingInt(info.name, info.defaultValue);
}
