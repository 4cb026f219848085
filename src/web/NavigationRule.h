#pragma once
// Where a web page may go. The pages show the maker's own sites; an address
// on one of those sites (same scheme, host and port) stays in the page, any
// other web address is handed to the person's browser, and everything else
// (local files, data, scripts, the web engine's own schemes) is refused.

#include <wx/string.h>

#include <vector>

class CNavigationRule
{
public:
    enum class EAction
    {
        StayInPage,
        OpenInBrowser,
        Refuse,
    };

    // The sites whose addresses stay in the page, given by any address on them.
    explicit CNavigationRule(const std::vector<wxString>& ownSites);

    // The maker's two https sites and the sites the environment names instead
    // (WAVECREST_PROMO_URL, WAVECREST_STORE_URL), as the pages use them.
    static CNavigationRule ForTheMakersSites();

    // What becomes of a navigation to that address. The empty page a web
    // view starts with stays in the page.
    EAction Decide(const wxString& address) const;

private:
    struct COrigin
    {
        wxString scheme; // "http" or "https"
        wxString host;   // lower case
        wxString port;   // the scheme's own port when the address names none
        bool operator==(const COrigin& other) const
        {
            return scheme == other.scheme && host == other.host && port == other.port;
        }
    };
    // The origin of a web (http or https) address; false for any other.
    static bool WebOrigin(const wxString& address, COrigin& origin);

    std::vector<COrigin> m_ownSites;
};
