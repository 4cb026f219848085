#include "app/PageDocManager.h"

#include "platform/ModalDialogs.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/intl.h>

#include <vector>

CPageDocManager::CPageDocManager() : wxDocManager(0, true) {}

wxFileHistory* CPageDocManager::OnCreateFileHistory()
{
    // The program keeps no list of recent files.
    return new wxFileHistory(0);
}

wxDocTemplate* CPageDocManager::SelectDocumentType(wxDocTemplate** templates, int noTemplates,
                                                   bool /*sort*/)
{
    wxArrayString names;
    std::vector<wxDocTemplate*> visible;
    for (int i = 0; i < noTemplates; ++i)
    {
        if (!templates[i]->IsVisible())
            continue;
        names.Add(templates[i]->GetDescription());
        visible.push_back(templates[i]);
    }
    if (visible.empty())
        return nullptr;
    if (visible.size() == 1)
        return visible.front();
    const int chosen = platform::ChooseOne(_("Select a document template"), _("Templates"), names,
                                           wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    return chosen >= 0 && chosen < static_cast<int>(visible.size()) ? visible[chosen] : nullptr;
}

wxDocTemplate* CPageDocManager::SelectDocumentPath(wxDocTemplate** templates, int noTemplates,
                                                   wxString& path, long /*flags*/, bool /*save*/)
{
    path = platform::ChooseFileToOpen(_("Open File"), wxFileSelectorDefaultWildcardStr,
                                      wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    if (path.empty())
        return nullptr;
    return SelectDocumentType(templates, noTemplates);
}
