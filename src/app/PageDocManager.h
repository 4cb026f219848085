#pragma once
// The document manager of the pages. It asks its questions (which page type,
// which file) through the platform's dialogs, so tests can answer them.

#include <wx/docview.h>

class CPageDocManager : public wxDocManager
{
public:
    CPageDocManager();

    wxFileHistory* OnCreateFileHistory() override;

    wxDocTemplate* SelectDocumentType(wxDocTemplate** templates, int noTemplates,
                                      bool sort = false) override;
    wxDocTemplate* SelectDocumentPath(wxDocTemplate** templates, int noTemplates, wxString& path,
                                      long flags, bool save = false) override;
};
