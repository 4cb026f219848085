#include "res/Resources.h"

#include <wx/bmpbndl.h>
#include <wx/xrc/xmlres.h>

#include <cstring>

extern void InitWavecrestXrc();

namespace res
{

extern const char kAppIconSvg[];

void LoadXrcResources()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    wxXmlResource::Get()->InitAllHandlers();
    InitWavecrestXrc();
}

wxBitmap AppIcon(int size)
{
    const wxBitmapBundle bundle = wxBitmapBundle::FromSVG(
        reinterpret_cast<const wxByte*>(kAppIconSvg), std::strlen(kAppIconSvg), wxSize(size, size));
    return bundle.GetBitmap(wxSize(size, size));
}

wxIconBundle AppIconBundle()
{
    wxIconBundle icons;
    for (int size : {16, 24, 32, 48, 64, 128})
    {
        wxIcon icon;
        icon.CopyFromBitmap(AppIcon(size));
        icons.AddIcon(icon);
    }
    return icons;
}

} // namespace res
