#include "web/WebPageView.h"

#include "core/Identifiers.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "platform/Browser.h"
#include "web/NavigationRule.h"

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
    m_pWebView->Bind(wxEVT_WEBVIEW_NAVIGATING, &CWebPageView::OnNavigating, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_NEWWINDOW, &CWebPageView::OnNewWindow, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_LOADED, &CWebPageView::OnLoadEnded, this);
    m_pWebView->Bind(wxEVT_WEBVIEW_ERROR, &CWebPageView::OnLoadEnded, this);
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
    if (!m_pWebView)
        return;
    m_bLoading = true;
    m_pWebView->LoadURL(m_strRequestedAddress);
}

// Pages of the maker's sites stay in the page. A page that is shown and goes
// to another web site does so because the person followed a link: that
// address opens in the person's browser. While a page is still loading, what
// it would open elsewhere (a redirect, a frame of another site) is refused
// without a browser window springing up. Local files and every other kind of
// address are refused.
void CWebPageView::OnNavigating(wxWebViewEvent& event)
{
    switch (CNavigationRule::ForTheMakersSites().Decide(event.GetURL()))
    {
    case CNavigationRule::EAction::StayInPage:
        m_bLoading = true;
        break;
    case CNavigationRule::EAction::OpenInBrowser:
        event.Veto();
        if (!m_bLoading)
            platform::OpenInBrowser(event.GetURL());
        break;
    case CNavigationRule::EAction::Refuse:
        event.Veto();
        break;
    }
}

// The pages open no windows of their own: a web address asked for in a new
// window opens in the person's browser, anything else is refused.
void CWebPageView::OnNewWindow(wxWebViewEvent& event)
{
    if (CNavigationRule::ForTheMakersSites().Decide(event.GetURL()) !=
        CNavigationRule::EAction::Refuse)
        platform::OpenInBrowser(event.GetURL());
}

void CWebPageView::OnLoadEnded(wxWebViewEvent& event)
{
    m_bLoading = false;
    event.Skip();
}
