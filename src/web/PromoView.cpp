#include "web/PromoView.h"

#include "core/Identifiers.h"
#include "core/SiteAddresses.h"

wxIMPLEMENT_DYNAMIC_CLASS(CPromoView, CPageView);

// clang-format off
wxBEGIN_EVENT_TABLE(CPromoView, CPageView)
    EVT_APP_MESSAGE(wc::WM_RELOAD_PROMO, CPromoView::OnReloadPage)
wxEND_EVENT_TABLE()
// clang-format on

int CPromoView::GetReloadMessage() const
{
    return wc::WM_RELOAD_PROMO;
}

wxString CPromoView::GetSiteAddress() const
{
    return PromoSiteAddress();
}
