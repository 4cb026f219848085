// Where the web pages may go: the maker's sites stay in the page, other web
// addresses go to the browser, everything else is refused.

#include "web/NavigationRule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

namespace
{
using EAction = CNavigationRule::EAction;

struct NavigationCase
{
    const char* address;
    EAction action;
};

std::ostream& operator<<(std::ostream& out, const NavigationCase& navigation)
{
    return out << '"' << navigation.address << '"';
}

class NavigationRule : public ::testing::TestWithParam<NavigationCase>
{
protected:
    void SetUp() override
    {
        // The defaults, not whatever the test's environment names.
        ::unsetenv("WAVECREST_PROMO_URL");
        ::unsetenv("WAVECREST_STORE_URL");
    }
};
} // namespace

TEST_P(NavigationRule, DecidesByTheAddressAlone)
{
    EXPECT_EQ(CNavigationRule::ForTheMakersSites().Decide(GetParam().address), GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(
    , NavigationRule,
    ::testing::Values(
        // The maker's https sites, any page on them, any spelling of the host.
        NavigationCase{"https://www.tolvane.example/", EAction::StayInPage},
        NavigationCase{"https://www.tolvane.example/products/radio.html?x=1#top",
                       EAction::StayInPage},
        NavigationCase{"https://store.tolvane.example/cart", EAction::StayInPage},
        NavigationCase{"HTTPS://Store.Tolvane.Example:443/", EAction::StayInPage},
        NavigationCase{"about:blank", EAction::StayInPage},
        // Other web addresses, including look-alikes of the maker's sites.
        NavigationCase{"https://elsewhere.example/", EAction::OpenInBrowser},
        NavigationCase{"http://www.tolvane.example/", EAction::OpenInBrowser},
        NavigationCase{"https://www.tolvane.example:8443/", EAction::OpenInBrowser},
        NavigationCase{"https://www.tolvane.example.elsewhere.example/", EAction::OpenInBrowser},
        NavigationCase{"https://www.tolvane.example@elsewhere.example/", EAction::OpenInBrowser},
        NavigationCase{"https://tolvane.example/", EAction::OpenInBrowser},
        NavigationCase{"http://127.0.0.1:8080/", EAction::OpenInBrowser},
        // Local files, the web engine's own schemes and everything else.
        NavigationCase{"file:///etc/passwd", EAction::Refuse},
        NavigationCase{"FILE:///home/", EAction::Refuse},
        NavigationCase{"file://localhost/etc/passwd", EAction::Refuse},
        NavigationCase{"data:text/html,<b>x</b>", EAction::Refuse},
        NavigationCase{"javascript:alert(1)", EAction::Refuse},
        NavigationCase{"blob:https://www.tolvane.example/1234", EAction::Refuse},
        NavigationCase{"about:config", EAction::Refuse},
        NavigationCase{"resource:///org/gnome/x", EAction::Refuse},
        NavigationCase{"view-source:https://www.tolvane.example/", EAction::Refuse},
        NavigationCase{"ftp://elsewhere.example/file", EAction::Refuse},
        NavigationCase{"mailto:support@tolvane.example", EAction::Refuse},
        NavigationCase{"/etc/passwd", EAction::Refuse},
        NavigationCase{"www.tolvane.example", EAction::Refuse},
        NavigationCase{"https://", EAction::Refuse},
        NavigationCase{"https://www.tolvane.example/a b", EAction::Refuse},
        NavigationCase{"", EAction::Refuse}));

TEST(NavigationRuleSites, TheSitesTheEnvironmentNamesStayInThePageToo)
{
    ::setenv("WAVECREST_PROMO_URL", "http://127.0.0.1:8080/", 1);
    ::setenv("WAVECREST_STORE_URL", "http://localhost:9090/shop/", 1);
    const CNavigationRule rule = CNavigationRule::ForTheMakersSites();
    ::unsetenv("WAVECREST_PROMO_URL");
    ::unsetenv("WAVECREST_STORE_URL");
    EXPECT_EQ(rule.Decide("http://127.0.0.1:8080/next.html"), EAction::StayInPage);
    EXPECT_EQ(rule.Decide("http://localhost:9090/"), EAction::StayInPage);
    EXPECT_EQ(rule.Decide("https://store.tolvane.example/"), EAction::StayInPage);
    EXPECT_EQ(rule.Decide("http://127.0.0.1:8081/"), EAction::OpenInBrowser);
    EXPECT_EQ(rule.Decide("https://127.0.0.1:8080/"), EAction::OpenInBrowser);
}
