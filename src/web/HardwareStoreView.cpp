#include "web/HardwareStoreView.h"

#include "core/Identifiers.h"
#include "core/SiteAddresses.h"

wxIMPLEMENT_DYNAMIC_CLASS(CHardwareStoreView, CPageView);

// clang-format off
wxBEGIN_EVENT_TABLE(CHardwareStoreView, CPageView)
    EVT_APP_MESSAGE(wc::WM_RELOAD_STORE, CHardwareStoreView::OnReloadPage)
wxEND_EVENT_TABLE()
// clang-format on

int CHardwareStoreView::GetReloadMessage() const
{
    return wc::WM_RELOAD_STORE;
}

wxString CHardwareStoreView::GetSiteAddress() const
{
    return StoreSiteAddress();
}
