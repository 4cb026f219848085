#include "app/AboutDlg.h"

#include "res/Resources.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>

CAboutDlg::CAboutDlg(wxWindow* parent)
{
    res::LoadXrcResources();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUTBOX");
    SetIcons(res::AppIconBundle());
    if (auto* icon = XRCCTRL(*this, "IDC_APP_ICON", wxStaticBitmap))
        icon->SetBitmap(res::AppIcon(32));
    FitTextsOnOneLine();
}

void CAboutDlg::FitTextsOnOneLine()
{
    // The margin the layout keeps to the right of the OK button.
    const int margin = ConvertDialogToPixels(wxSize(4, 0)).x;
    wxSize client = GetClientSize();
    int widest = 0;
    for (const char* name : {"IDC_VERSION", "IDC_CONTACT"})
    {
        auto* text = XRCCTRL(*this, name, wxStaticText);
        if (!text)
            continue;
        const wxSize needed = text->GetTextExtent(text->GetLabel());
        const wxSize size(std::max(text->GetSize().x, needed.x),
                          std::max(text->GetSize().y, needed.y));
        text->SetSize(size);
        text->SetMinSize(size);
        widest = std::max(widest, text->GetPosition().x + size.x + 2 * margin);
    }
    if (widest <= client.x)
        return;
    // The OK button keeps its place at the right edge.
    if (auto* ok = dynamic_cast<wxButton*>(FindWindow(wxID_OK)))
        ok->Move(ok->GetPosition().x + widest - client.x, ok->GetPosition().y);
    client.x = widest;
    SetClientSize(client);
}
