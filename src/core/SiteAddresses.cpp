#include "core/SiteAddresses.h"

#include "core/Identifiers.h"

#include <wx/utils.h>

namespace
{
wxString AddressFromEnvironment(const char* variable, const char* fallback)
{
    wxString address;
    if (wxGetEnv(variable, &address) && !address.Trim().Trim(false).empty())
        return address;
    return fallback;
}
} // namespace

wxString PromoSiteAddress()
{
    return AddressFromEnvironment("WAVECREST_PROMO_URL", wc::kPromoSite);
}

wxString StoreSiteAddress()
{
    return AddressFromEnvironment("WAVECREST_STORE_URL", wc::kStoreSite);
}
