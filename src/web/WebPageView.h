#pragma once
// What the two web pages share: a page that shows one of the maker's sites in
// an embedded web view. The web view (and with it the web engine) is created
// only when such a page opens. The page loads its site whenever it receives
// its own reload message, which it posts to itself once it has been placed,
// and which the ribbon's Refresh command posts to it again. Where the page may
// go from there is CNavigationRule's decision.

#include "frame/PageView.h"
#include "platform/Messages.h"

#include <wx/string.h>
#include <wx/weakref.h>
#include <wx/webview.h>

class CWebPageView : public CPageView
{
public:
    // The address the page last asked its web view to load; empty before the first load.
    const wxString& GetRequestedAddress() const { return m_strRequestedAddress; }
    // The page's web view; null while the page has none (or no web engine exists).
    wxWebView* GetWebView() const { return m_pWebView; }

protected:
    // The page's own reload message, its fit flag and its site.
    virtual int GetReloadMessage() const = 0;
    virtual const char* GetFitFlag() const = 0;
    virtual wxString GetSiteAddress() const = 0;

    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;
    // Handler of the reload message (bound by each page to its own message).
    void OnReloadPage(platform::CAppMessageEvent& event);

private:
    void OnNavigating(wxWebViewEvent& event);
    void OnNewWindow(wxWebViewEvent& event);
    void OnLoadEnded(wxWebViewEvent& event);

    // Cleared by itself when the page frame destroys the web view.
    wxWeakRef<wxWebView> m_pWebView;
    wxString m_strRequestedAddress;
    // From the start of a page's load until it is shown (or has failed).
    bool m_bLoading = false;
};
