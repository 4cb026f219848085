#include "app/AboutDlg.h"

#include "res/Resources.h"

#include <wx/statbmp.h>
#include <wx/xrc/xmlres.h>

CAboutDlg::CAboutDlg(wxWindow* parent)
{
    res::LoadXrcResources();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUTBOX");
    SetIcons(res::AppIconBundle());
    if (auto* icon = XRCCTRL(*this, "IDC_APP_ICON", wxStaticBitmap))
        icon->SetBitmap(res::AppIcon(32));
}
