#include "frame/AutoStart.h"
#include "platform/DesktopEntry.h"
#include "support/TempHome.h"

#include <gio/gdesktopappinfo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Arguments = std::vector<std::string>;
using platform::EscapeDesktopString;
using platform::ParseExecValue;
using platform::QuoteExecArgument;
using platform::ReadDesktopEntryValue;

namespace
{

// A folder name that holds every character the Exec quoting has to protect.
const char kAwkwardFolder[] = "Wave crest \"q\" $HOME `id` back\\slash 100% it's";
// The same without '%': GLib checks that the program exists before it
// expands "%%", so it refuses an entry whose program path holds a '%'.
const char kAwkwardFolderForGLib[] = "Wave crest \"q\" $HOME `id` back\\slash it's";

// A shell script that records how it was started (its own path, then its
// arguments, one a line) in a file of the temporary home.
std::string MakeRecordingScript(const CTempHome& home, const std::string& folderName)
{
    const std::string folder = home.Path() + "/" + folderName;
    ::mkdir(folder.c_str(), 0700);
    const std::string script = folder + "/wave crest.sh";
    WriteWholeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" + home.Path() +
                               "/started-with.txt'\n");
    ::chmod(script.c_str(), 0755);
    return script;
}

std::string StartedWith(const CTempHome& home)
{
    return ReadWholeFile(home.Path() + "/started-with.txt");
}

void WriteEntry(const std::string& content)
{
    ::mkdir(AutoStartFolder().c_str(), 0700);
    WriteWholeFile(AutoStartEntryPath(), content);
}

std::string EntryWithExec(const std::string& execValue)
{
    return "[Desktop Entry]\nType=Application\nName=Wavecrest by Tolvane\nExec=" + execValue + "\n";
}

std::vector<std::string> FolderContents(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str()))
    {
        while (const dirent* entry = ::readdir(dir))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                names.push_back(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

// Starts the program an Exec value names, as a session does: split by the
// entry's rules and started directly, without a shell. Returns the exit code.
int RunExecValue(const std::string& execValue)
{
    const std::optional<Arguments> arguments = ParseExecValue(execValue);
    if (!arguments)
        return -1;
    std::vector<char*> argv;
    for (const std::string& argument : *arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Points GLib at a session bus that does not exist for the object's life,
// so that a launch neither reaches the real session nor starts a bus daemon.
class CNoSessionBus
{
public:
    CNoSessionBus()
    {
        const char* old = std::getenv(kVariable);
        m_bWasSet = old != nullptr;
        m_strOld = old ? old : "";
        ::setenv(kVariable, "unix:path=/nonexistent/wavecrest-test-bus", 1);
    }
    ~CNoSessionBus()
    {
        if (m_bWasSet)
            ::setenv(kVariable, m_strOld.c_str(), 1);
        else
            ::unsetenv(kVariable);
    }
    CNoSessionBus(const CNoSessionBus&) = delete;
    CNoSessionBus& operator=(const CNoSessionBus&) = delete;

private:
    static constexpr const char* kVariable = "DBUS_SESSION_BUS_ADDRESS";
    bool m_bWasSet = false;
    std::string m_strOld;
};

bool ToolIsInstalled(const std::string& name)
{
    const std::string command = "command -v " + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

} // namespace

// --- The Exec line ---

TEST(ExecLine, QuotesTheProgramAndEscapesItAsAStringValue)
{
    EXPECT_EQ(QuoteExecArgument("/opt/a b/c"), "\"/opt/a b/c\"");
    EXPECT_EQ(QuoteExecArgument("/a\"b`c$d\\e%f"), "\"/a\\\"b\\`c\\$d\\\\e%%f\"");
    // In the file every backslash of the quoting is doubled once more.
    EXPECT_EQ(AutoStartExecValue("/opt/My Apps/wavecrest"), "\"/opt/My Apps/wavecrest\" :silent");
    EXPECT_EQ(AutoStartExecValue("/x/$y"), "\"/x/\\\\$y\" :silent");
    EXPECT_EQ(AutoStartExecValue("/x/\\y"), "\"/x/\\\\\\\\y\" :silent");
    EXPECT_EQ(AutoStartExecValue("/x/\"y\""), "\"/x/\\\\\"y\\\\\"\" :silent");
    EXPECT_EQ(AutoStartExecValue("/x/50%"), "\"/x/50%%\" :silent");
    EXPECT_EQ(AutoStartExecValue("/x/a\tb\nc"), "\"/x/a\\tb\\nc\" :silent");
}

TEST(ExecLine, EveryAwkwardPathSurvivesWritingAndParsing)
{
    const std::vector<std::string> paths = {
        "/usr/bin/wavecrest",
        "/opt/My Apps/wavecrest",
        std::string("/home/a/") + kAwkwardFolder + "/wavecrest",
        "/x/%f %U %% %",
        "/x/\\\\\\\"\\$",
        "/x/'single' ~tilde <>|&;*?#()=",
        "/x/tab\there/new\nline/cr\rend",
        " /leading blank",
        "/x/Grüße/電台",
    };
    for (const std::string& path : paths)
    {
        const std::optional<std::string> exec = AutoStartExecValue(path);
        ASSERT_TRUE(exec) << path;
        EXPECT_EQ(ParseExecValue(*exec), (Arguments{path, ":silent"})) << *exec;
    }
}

TEST(ExecLine, PathsAnEntryCannotHoldAreRefused)
{
    EXPECT_EQ(AutoStartExecValue(""), std::nullopt);
    EXPECT_EQ(AutoStartExecValue("/x/bell\a"), std::nullopt);
    EXPECT_EQ(AutoStartExecValue("/x/\x7f"), std::nullopt);
    EXPECT_EQ(AutoStartExecValue("/x/latin1-\xe9t\xe9"), std::nullopt);
}

// --- The entry file ---

TEST(DesktopEntryFile, TheWrittenEntryIsAProperApplicationEntry)
{
    const std::optional<std::string> text = AutoStartEntryText("/opt/My Apps/wavecrest");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(ReadDesktopEntryValue(*text, "Type"), "Application");
    EXPECT_EQ(ReadDesktopEntryValue(*text, "Name"), "Wavecrest by Tolvane");
    EXPECT_EQ(ReadDesktopEntryValue(*text, "Exec"), "\"/opt/My Apps/wavecrest\" :silent");
    EXPECT_EQ(ReadDesktopEntryValue(*text, "Icon"), "wavecrest");
    EXPECT_EQ(ReadDesktopEntryValue(*text, "X-GNOME-Autostart-enabled"), "true");
    EXPECT_EQ(ReadDesktopEntryValue(*text, "Hidden"), std::nullopt);
    EXPECT_TRUE(ReadDesktopEntryValue(*text, "Comment"));
}

// --- The state and the file on disk ---

TEST(AutoStart, TheEntryLivesInTheAutostartFolderOfTheConfigFolder)
{
    CTempHome home;
    EXPECT_EQ(AutoStartFolder(), home.ConfigFolder() + "/autostart");
    EXPECT_EQ(AutoStartEntryPath(), home.ConfigFolder() + "/autostart/wavecrest.desktop");
}

TEST(AutoStart, WithoutAnEntryItIsOff)
{
    CTempHome home;
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
    EXPECT_FALSE(FileExists(AutoStartFolder())); // asking creates nothing
}

TEST(AutoStart, AnEntryNamingAMissingProgramIsOff)
{
    CTempHome home;
    WriteEntry(EntryWithExec("\"" + home.Path() + "/moved/wavecrest\" :silent"));
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
}

TEST(AutoStart, AnEntryWithoutSilentThatNamesAnExistingProgramIsOn)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, "bin");
    WriteEntry(EntryWithExec(*EscapeDesktopString(QuoteExecArgument(script))));
    EXPECT_EQ(QueryAutoStart(), kAutoStartOn);
}

TEST(AutoStart, OnlyARegularFileWithinTheSizeLimitIsReadAsTheEntry)
{
    CTempHome home;
    // Padded with a comment to exactly the limit, a good entry still counts.
    std::string entry = EntryWithExec("sh :silent");
    entry += "#" + std::string(kMaxAutoStartEntrySize - entry.size() - 2, 'x') + "\n";
    WriteEntry(entry);
    EXPECT_EQ(QueryAutoStart(), kAutoStartOn);
    WriteEntry(entry + "#");
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);

    // A FIFO in its place is not waited on, and stays as it was.
    ::unlink(AutoStartEntryPath().c_str());
    ASSERT_TRUE(MakeFifo(AutoStartEntryPath()));
    int state = kAutoStartNotKnown;
    EXPECT_TRUE(
        ReturnsWithoutWaitingOnFifo(AutoStartEntryPath(), [&] { state = QueryAutoStart(); }));
    EXPECT_EQ(state, kAutoStartOff);
    struct stat info;
    ASSERT_EQ(::lstat(AutoStartEntryPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(AutoStart, AnEntryWhoseProgramIsFoundInThePathIsOn)
{
    CTempHome home;
    WriteEntry(EntryWithExec("sh :silent"));
    EXPECT_EQ(QueryAutoStart(), kAutoStartOn);
    WriteEntry(EntryWithExec("no-such-program-of-wavecrest :silent"));
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
}

TEST(AutoStart, AnUnquotedPathWithBlanksNamesNoProgram)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, "My Apps");
    WriteEntry(EntryWithExec(script + " :silent"));
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
}

TEST(AutoStart, AnEntrySwitchedOffIsOff)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, "bin");
    ASSERT_EQ(SetAutoStart(true, script), kAutoStartOn);
    const std::string entry = ReadWholeFile(AutoStartEntryPath());
    WriteEntry(entry + "Hidden=true\n");
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
    WriteEntry(entry + "Hidden=false\n");
    EXPECT_EQ(QueryAutoStart(), kAutoStartOn);
    WriteEntry(entry + "X-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
}

TEST(AutoStart, AnEntryWithAMalformedExecLineIsOff)
{
    CTempHome home;
    WriteEntry(EntryWithExec("\"/bin/sh :silent"));
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
    WriteEntry("[Desktop Entry]\nType=Application\nName=Wavecrest by Tolvane\n");
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
}

TEST(AutoStart, WritingTurnsItOnAndRemovingTurnsItOff)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, kAwkwardFolder);
    EXPECT_EQ(SetAutoStart(true, script), kAutoStartOn);
    EXPECT_EQ(QueryAutoStart(), kAutoStartOn);
    EXPECT_EQ(ReadWholeFile(AutoStartEntryPath()), AutoStartEntryText(script));
    EXPECT_EQ(FolderContents(AutoStartFolder()), (std::vector<std::string>{"wavecrest.desktop"}));
    struct stat info;
    ASSERT_EQ(::stat(AutoStartEntryPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    EXPECT_EQ(SetAutoStart(false, script), kAutoStartOff);
    EXPECT_FALSE(FileExists(AutoStartEntryPath()));
    EXPECT_EQ(SetAutoStart(false, script), kAutoStartOff); // nothing left to remove
}

TEST(AutoStart, WritingReplacesAStaleOrSwitchedOffEntry)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, "bin");
    WriteEntry(EntryWithExec("/old/place/wavecrest :silent") + "Hidden=true\n");
    EXPECT_EQ(SetAutoStart(true, script), kAutoStartOn);
    EXPECT_EQ(ReadWholeFile(AutoStartEntryPath()), AutoStartEntryText(script));
}

TEST(AutoStart, WritingCreatesTheMissingFolders)
{
    CTempHome home;
    const std::string config = home.Path() + "/fresh/config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string script = MakeRecordingScript(home, "bin");
    EXPECT_EQ(QueryAutoStart(), kAutoStartOff);
    EXPECT_EQ(SetAutoStart(true, script), kAutoStartOn);
    struct stat info;
    ASSERT_EQ(::stat((config + "/autostart").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(AutoStart, WithoutAPathTheEntryNamesTheRunningProgram)
{
    CTempHome home;
    std::string modulePath;
    GetModulePath(modulePath);
    char* real = ::realpath("/proc/self/exe", nullptr);
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(modulePath, real);
    std::free(real);

    EXPECT_EQ(SetAutoStart(true), kAutoStartOn);
    const auto exec = ReadDesktopEntryValue(ReadWholeFile(AutoStartEntryPath()), "Exec");
    ASSERT_TRUE(exec);
    EXPECT_EQ(ParseExecValue(*exec), (Arguments{modulePath, ":silent"}));
    EXPECT_EQ(SetAutoStart(false), kAutoStartOff);
}

TEST(AutoStart, AFileWhereTheFolderShouldBeMakesItUnavailable)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, "bin");
    WriteWholeFile(AutoStartFolder(), "not a folder");
    EXPECT_EQ(QueryAutoStart(), kAutoStartUnavailable);
    EXPECT_EQ(SetAutoStart(true, script), kAutoStartUnavailable);
    EXPECT_EQ(SetAutoStart(false, script), kAutoStartUnavailable);
    EXPECT_EQ(ReadWholeFile(AutoStartFolder()), "not a folder");
}

TEST(AutoStart, AFileWhereTheConfigFolderShouldBeMakesItUnavailable)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, "bin");
    WriteWholeFile(home.Path() + "/config-file", "");
    ::setenv("XDG_CONFIG_HOME", (home.Path() + "/config-file").c_str(), 1);
    EXPECT_EQ(QueryAutoStart(), kAutoStartUnavailable);
    EXPECT_EQ(SetAutoStart(true, script), kAutoStartUnavailable);
}

TEST(AutoStart, AReadOnlyFolderMakesItUnavailable)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    CTempHome home;
    const std::string script = MakeRecordingScript(home, "bin");
    ::chmod(home.ConfigFolder().c_str(), 0500); // the autostart folder cannot be created
    EXPECT_EQ(QueryAutoStart(), kAutoStartUnavailable);
    EXPECT_EQ(SetAutoStart(true, script), kAutoStartUnavailable);
    ::chmod(home.ConfigFolder().c_str(), 0700);

    ASSERT_EQ(SetAutoStart(true, script), kAutoStartOn);
    ::chmod(AutoStartFolder().c_str(), 0500); // the entry cannot be changed
    EXPECT_EQ(QueryAutoStart(), kAutoStartUnavailable);
    EXPECT_EQ(SetAutoStart(false, script), kAutoStartUnavailable);
    EXPECT_TRUE(FileExists(AutoStartEntryPath()));
    ::chmod(AutoStartFolder().c_str(), 0700);
}

TEST(AutoStart, TheWrittenEntryPassesTheDesktopFileValidator)
{
    if (!ToolIsInstalled("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    CTempHome home;
    const std::string script = MakeRecordingScript(home, kAwkwardFolder);
    ASSERT_EQ(SetAutoStart(true, script), kAutoStartOn);
    const std::string command = "desktop-file-validate '" + AutoStartEntryPath() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << output;
    EXPECT_EQ(output.find("error"), std::string::npos) << output;
}

// --- Started as a session starts it ---

TEST(AutoStartSession, TheExecLineStartsTheProgramWithSilent)
{
    CTempHome home;
    const std::string script = MakeRecordingScript(home, kAwkwardFolder);
    ASSERT_EQ(SetAutoStart(true, script), kAutoStartOn);
    const auto exec = ReadDesktopEntryValue(ReadWholeFile(AutoStartEntryPath()), "Exec");
    ASSERT_TRUE(exec);
    ASSERT_EQ(RunExecValue(*exec), 0);
    EXPECT_EQ(StartedWith(home), script + "\n:silent\n");
}

TEST(AutoStartSession, GLibsLauncherStartsTheProgramWithSilent)
{
    CTempHome home;
    CNoSessionBus noBus;
    const std::string script = MakeRecordingScript(home, kAwkwardFolderForGLib);
    ASSERT_EQ(SetAutoStart(true, script), kAutoStartOn);
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(AutoStartEntryPath().c_str());
    ASSERT_NE(info, nullptr);
    GPid child = 0;
    GError* error = nullptr;
    const gboolean launched = g_desktop_app_info_launch_uris_as_manager(
        info, nullptr, nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
        [](GDesktopAppInfo*, GPid pid, gpointer data) { *static_cast<GPid*>(data) = pid; }, &child,
        &error);
    g_object_unref(info);
    ASSERT_TRUE(launched) << (error ? error->message : "");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(StartedWith(home), script + "\n:silent\n");
}
