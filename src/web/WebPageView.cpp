#include "web/WebPageView.h"

#include "app/Identifiers.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <wx/sizer.h>
#include <wx/utils.h>

void CWebPageView::CreateContent(CChildFrame* frame)
{
    // Starts empty: the site is loaded by the page's own message, once the
    // page has been placed.
    m_pWebView = wxWebView::New(frame, wxID_ANY, wxWebViewDefaultURLStr, wxDefaultPosition,
                                wxDefaultSize, wxWebViewBackendWebKit);
    if (!m_pWebView)
        return;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pWebView, 1, wxEXPAND);
    frame->SetSizer(sizer);
}

void CWebPageView::OnInitialUpdate()
{
    CPageView::OnInitialUpdate();
    wxBusyCursor wait;
    CMainFrame* mainFrame = GetMainFrame();
    if (!mainFrame)
        return;
    mainFrame->PlacePage(this, GetFitFlag());
    platform::PostMessage(this, GetReloadMessage());
    platform::PostMessage(mainFrame, wc::WM_UPDATE_STATUS_PANES);
    mainFrame->SetStatusText(wxEmptyString);
}

// The site is loaded afresh: WebKit asks the server again when it is told to
// load the page it already shows. No reload follows the load: a reload issued
// while the load is still starting would cancel it and reload the page shown
// before.
void CWebPageView::OnReloadPage(platform::CAppMessageEvent& /*event*/)
{
    m_strRequestedAddress = GetSiteAddress();
    if (m_pWebView)
        m_pWebView->LoadURL(m_strRequestedAddress);
}
