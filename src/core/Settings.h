#pragma once
// The settings store: the settings are signed 32-bit integers (and a few
// texts) in the group [Settings] of the per-user settings file; the
// application look and the window placement live in [Workspace]. A read
// gives the default when the value is missing or unusable; a write reaches
// the disk at once.

#include <cstdint>
#include <string>

class wxString;

// The value `name` of [Settings], or `defaultValue` when there is none.
int GetSettingInt(const wxString& name, int defaultValue);
// Writes the value; a failed write is not reported.
void WriteSettingInt(const wxString& name, int value);
// Writes the value and reports whether it reached the file.
bool WriteSettingIntChecked(const wxString& name, int value);

// A text value of [Settings] (one line, without blanks at either end),
// empty when there is none; a text of several lines is not written.
std::string GetSettingText(const wxString& name);
bool WriteSettingText(const wxString& name, const std::string& value);

int GetWorkspaceInt(const wxString& name, int defaultValue);
bool WriteWorkspaceInt(const wxString& name, int value);

// The settings file: $XDG_CONFIG_HOME/tolvane.example/Wavecrest by Tolvane.conf.
std::string DefaultSettingsFilePath();
// Points the store at another file (tests); an empty path goes back to the default.
void SetSettingsFilePath(const std::string& path);
std::string GetSettingsFilePath();
