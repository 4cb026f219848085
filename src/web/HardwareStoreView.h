#pragma once
// The hardware-store page: the maker's web store in an embedded web view. The web
// view (and with it the web engine) is created only when this page opens.
// The page loads its site whenever it receives its own reload message, which
// it posts to itself once it has been placed, and which the ribbon's Refresh
// command posts to it again.

#include "frame/PageView.h"
#include "platform/Messages.h"

#include <wx/string.h>
#include <wx/weakref.h>
#include <wx/webview.h>

class CHardwareStoreView : public CPageView
{
public:
    // The address the page last asked its web view to load; empty before the first load.
    const wxString& GetRequestedAddress() const { return m_strRequestedAddress; }
    // The page's web view; null while the page has none (or no web engine exists).
    wxWebView* GetWebView() const { return m_pWebView; }

protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;

private:
    void OnReloadPage(platform::CAppMessageEvent& event);

    // Cleared by itself when the page frame destroys the web view.
    wxWeakRef<wxWebView> m_pWebView;
    wxString m_strRequestedAddress;

    wxDECLARE_DYNAMIC_CLASS(CHardwareStoreView);
    wxDECLARE_EVENT_TABLE();
};
