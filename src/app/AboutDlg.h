#pragma once
// The About box (dialog 100).

#include <wx/dialog.h>

class CAboutDlg : public wxDialog
{
public:
    explicit CAboutDlg(wxWindow* parent);
};
