#include "web/NavigationRule.h"

#include "core/Identifiers.h"
#include "core/SiteAddresses.h"

#include <wx/uri.h>

#include <algorithm>

CNavigationRule::CNavigationRule(const std::vector<wxString>& ownSites)
{
    for (const wxString& site : ownSites)
    {
        COrigin origin;
        if (WebOrigin(site, origin))
            m_ownSites.push_back(origin);
    }
}

CNavigationRule CNavigationRule::ForTheMakersSites()
{
    return CNavigationRule(
        {wc::kPromoSite, wc::kStoreSite, PromoSiteAddress(), StoreSiteAddress()});
}

bool CNavigationRule::WebOrigin(const wxString& address, COrigin& origin)
{
    wxString text = address;
    text.Trim(true).Trim(false);
    // Anything with blanks or control characters inside is no address a
    // web view hands over; it is not guessed at.
    if (std::any_of(text.begin(), text.end(),
                    [](wxUniChar c) { return c.GetValue() <= 0x20 || c.GetValue() == 0x7f; }))
        return false;
    wxURI uri;
    if (!uri.Create(text) || !uri.HasScheme() || !uri.HasServer())
        return false;
    origin.scheme = uri.GetScheme().Lower();
    if (origin.scheme != "http" && origin.scheme != "https")
        return false;
    origin.host = uri.GetServer().Lower();
    if (origin.host.empty())
        return false;
    origin.port = uri.HasPort() ? uri.GetPort() : wxString();
    if (origin.port.empty())
        origin.port = origin.scheme == "https" ? "443" : "80";
    return true;
}

CNavigationRule::EAction CNavigationRule::Decide(const wxString& address) const
{
    if (address == "about:blank")
        return EAction::StayInPage;
    COrigin origin;
    if (!WebOrigin(address, origin))
        return EAction::Refuse;
    const bool bOwnSite =
        std::find(m_ownSites.begin(), m_ownSites.end(), origin) != m_ownSites.end();
    return bOwnSite ? EAction::StayInPage : EAction::OpenInBrowser;
}
