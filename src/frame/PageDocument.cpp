#include "frame/PageDocument.h"

bool CPageDocument::OnNewDocument()
{
    if (!wxDocument::OnNewDocument())
        return false;
    SetTitle(wxString());
    return true;
}

bool CPageDocument::OnOpenDocument(const wxString& /*filename*/)
{
    // A page reads nothing from a file: opening one just opens the page.
    SetTitle(wxString());
    return true;
}
