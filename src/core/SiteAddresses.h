#pragma once
// The maker's two web sites, as the web pages and the "Open In New Window"
// commands use them.

#include <wx/string.h>

// The promotion site: WAVECREST_PROMO_URL when it is set and not empty,
// otherwise https://www.tolvane.example/.
wxString PromoSiteAddress();
// The hardware store: WAVECREST_STORE_URL when it is set and not empty,
// otherwise https://store.tolvane.example/.
wxString StoreSiteAddress();
