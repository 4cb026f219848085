#pragma once
// What the four page documents share: they hold no data, store nothing and
// keep an empty title whatever name the document manager gives them.

#include <wx/docview.h>

class CPageDocument : public wxDocument
{
public:
    bool OnNewDocument() override;
    bool OnOpenDocument(const wxString& filename) override;
    wxString GetUserReadableName() const override { return wxString(); }
    bool IsModified() const override { return false; }
};
