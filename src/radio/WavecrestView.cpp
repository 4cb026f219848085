#include "radio/WavecrestView.h"

#include "app/SettingsTable.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <wx/panel.h>
#include <wx/sizer.h>

wxIMPLEMENT_DYNAMIC_CLASS(CWavecrestView, CPageView);

void CWavecrestView::CreateContent(CChildFrame* frame)
{
    // The form: 483 x 281 dialog units.
    auto* form = new wxPanel(frame, wxID_ANY);
    form->SetMinSize(frame->ConvertDialogToPixels(wxSize(483, 281)));
    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(form, wxSizerFlags(1).Expand());
    frame->SetSizer(layout);
}

void CWavecrestView::OnInitialUpdate()
{
    if (CMainFrame* frame = GetMainFrame())
        frame->PlacePage(this, setting::RadioPageFitted.name);
}
