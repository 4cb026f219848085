#include "app/WebPageModule.h"

#include "platform/UserFolders.h"

#include <wx/dynlib.h>
#include <wx/filename.h>
#include <wx/object.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
constexpr const char kModuleName[] = "libwavecrest-web.so";
constexpr const char kVersionSymbol[] = "wavecrest_web_module_version";

enum class ELoad
{
    NotTried,
    Loaded,
    Failed,
};
ELoad g_load = ELoad::NotTried;

// Where the module may be: beside the program (the build folder), then the
// private library folder of an installed program (relative to its bin folder).
std::vector<wxString> CandidatePaths()
{
    const wxFileName program(wxString::FromUTF8(platform::ExecutablePath()));
    wxFileName installed(program.GetPath() + "/" + WAVECREST_MODULE_DIR_FROM_BIN, kModuleName);
    installed.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    return {wxFileName(program.GetPath(), kModuleName).GetFullPath(), installed.GetFullPath()};
}

bool LoadModule()
{
    for (const wxString& path : CandidatePaths())
    {
        if (!wxFileName::FileExists(path))
            continue;
        wxDynamicLibrary module;
        // Quiet: a failure is told on standard error, never in a log window.
        if (!module.Load(path, wxDL_NOW | wxDL_QUIET))
        {
            std::fprintf(stderr, "wavecrest: %s cannot be loaded\n", path.utf8_str().data());
            continue;
        }
        using VersionFunction = const char* (*)();
        auto version = reinterpret_cast<VersionFunction>(module.GetSymbol(kVersionSymbol));
        if (!version || std::strcmp(version(), WAVECREST_VERSION) != 0)
        {
            std::fprintf(stderr, "wavecrest: %s belongs to another version of the program\n",
                         path.utf8_str().data());
            continue;
        }
        // The pages' classes stay registered until the program ends: the
        // module is never unloaded.
        module.Detach();
        return true;
    }
    std::fprintf(stderr, "wavecrest: the web pages' module %s was not found\n", kModuleName);
    return false;
}
} // namespace

wxClassInfo* FindWebPageClass(const wxString& className)
{
    if (wxClassInfo* found = wxClassInfo::FindClass(className))
        return found;
    if (g_load == ELoad::NotTried)
        g_load = LoadModule() ? ELoad::Loaded : ELoad::Failed;
    return g_load == ELoad::Loaded ? wxClassInfo::FindClass(className) : nullptr;
}
