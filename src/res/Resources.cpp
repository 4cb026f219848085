#include "res/Resources.h"

#include <wx/bmpbndl.h>
#include <wx/image.h>
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
    wxInitAllImageHandlers();
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

namespace res
{
wxBitmap StripImage(const char* strip, int index, int size)
{
    LoadXrcResources();
    const wxBitmap whole = wxXmlResource::Get()->LoadBitmap(strip);
    if (index < 0 || !whole.IsOk() || (index + 1) * size > whole.GetWidth() ||
        size > whole.GetHeight())
        return wxBitmap();
    // A sub-bitmap keeps the rows of the whole strip (its row length is the
    // strip's); made again from its own pixels, the image holds only itself.
    return wxBitmap(whole.GetSubBitmap(wxRect(index * size, 0, size, size)).ConvertToImage());
}
} // namespace res
