#include "frame/AutoStart.h"

#include "core/Identifiers.h"
#include "platform/DesktopEntry.h"
#include "platform/Files.h"
#include "platform/RegularFile.h"
#include "platform/UserFolders.h"

#include <wx/string.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace
{

const char kEntryFileName[] = "wavecrest.desktop";

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A program name without a slash is looked up in PATH, as the session does;
// a relative path would depend on the session's working folder.
bool ProgramExists(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return program[0] == '/' && platform::PathExists(program);
    const char* variable = std::getenv("PATH");
    std::istringstream folders(variable ? variable : "/usr/local/bin:/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':'))
    {
        const std::string candidate = folder + "/" + program;
        if (!folder.empty() && platform::IsExecutable(candidate))
            return true;
    }
    return false;
}

bool IsSwitchedOff(const std::string& text)
{
    const auto hidden = platform::ReadDesktopEntryValue(text, "Hidden");
    const auto enabled = platform::ReadDesktopEntryValue(text, "X-GNOME-Autostart-enabled");
    return (hidden && (*hidden == "true" || *hidden == "1")) ||
           (enabled && (*enabled == "false" || *enabled == "0"));
}

bool StartsExistingProgram(const std::string& entryText)
{
    const std::optional<std::string> exec = platform::ReadDesktopEntryValue(entryText, "Exec");
    if (!exec || IsSwitchedOff(entryText))
        return false;
    const auto arguments = platform::ParseExecValue(*exec);
    return arguments && ProgramExists(arguments->front());
}

std::optional<std::string> ReadEntryFile(const std::string& path)
{
    std::string content;
    if (platform::ReadRegularFile(path, kMaxAutoStartEntrySize, content) !=
        platform::FileReadResult::Ok)
        return std::nullopt;
    return content;
}

// Others may read the entry: the session that starts the program reads it.
constexpr unsigned kEntryFileMode = 0644;

void WriteEntry(const std::string& program)
{
    const std::optional<std::string> text = AutoStartEntryText(program);
    if (text && platform::MakeFolders(AutoStartFolder(), 0700))
        platform::ReplaceFileAtomically(AutoStartEntryPath(), *text, kEntryFileMode);
}

} // namespace

std::string AutoStartFolder()
{
    const std::string config = platform::ConfigFolder();
    return config.empty() ? std::string() : config + "/autostart";
}

std::string AutoStartEntryPath()
{
    const std::string folder = AutoStartFolder();
    return folder.empty() ? std::string() : folder + "/" + kEntryFileName;
}

void GetModulePath(std::string& path)
{
    path = platform::ExecutablePath();
    // Once the program file has been replaced (by an update, say), the
    // kernel names the old one with this suffix; the new one is meant.
    const std::string deleted = " (deleted)";
    if (EndsWith(path, deleted) && !platform::PathExists(path))
        path.resize(path.size() - deleted.size());
}

int QueryAutoStart()
{
    if (!platform::CanCreateFilesIn(AutoStartFolder()))
        return kAutoStartUnavailable;
    const std::optional<std::string> text = ReadEntryFile(AutoStartEntryPath());
    return text && StartsExistingProgram(*text) ? kAutoStartOn : kAutoStartOff;
}

int SetAutoStart(bool enable, const std::string& program)
{
    if (platform::CanCreateFilesIn(AutoStartFolder()))
    {
        if (!enable)
            platform::RemoveFile(AutoStartEntryPath());
        else if (!program.empty())
            WriteEntry(program);
        else
        {
            std::string modulePath;
            GetModulePath(modulePath);
            if (!modulePath.empty())
                WriteEntry(modulePath);
        }
    }
    return QueryAutoStart();
}

std::optional<std::string> AutoStartExecValue(const std::string& program)
{
    if (program.empty())
        return std::nullopt;
    return platform::EscapeDesktopString(platform::QuoteExecArgument(program) + " " +
                                         kSilentArgument);
}

std::optional<std::string> AutoStartEntryText(const std::string& program)
{
    const std::optional<std::string> exec = AutoStartExecValue(program);
    if (!exec)
        return std::nullopt;
    std::ostringstream text;
    text << platform::kDesktopEntryGroup << "\n"
         << "Type=Application\n"
         << "Name=" << wc::kAppTitle << "\n"
         << "Comment=Plays internet radio and TV channels; started hidden with the session\n"
         << "Exec=" << *exec << "\n"
         << "Icon=wavecrest\n"
         << "Terminal=false\n"
         << "X-GNOME-Autostart-enabled=true\n";
    return text.str();
}
