#pragma once
// The About box (dialog 100).

#include <wx/dialog.h>

class CAboutDlg : public wxDialog
{
public:
    explicit CAboutDlg(wxWindow* parent);

private:
    // The layout's dialog units were measured for another font: each text
    // gets the width its one line needs, and the dialog grows to hold it.
    void FitTextsOnOneLine();
};
