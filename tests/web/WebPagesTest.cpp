// The promotion and hardware-store pages inside the real application, each
// pointed at its own web site on loopback.

#include "core/Identifiers.h"
#include "core/Settings.h"
#include "frame/MainFrame.h"
#include "platform/Browser.h"
#include "support/GuiTestSupport.h"
#include "web/HardwareStoreView.h"
#include "web/PromoView.h"
#include "web/WebPageView.h"
#include "web/WebTestServer.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/docview.h>
#include <wx/webview.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace
{
// Loads need a web process to start and a server to answer: be generous.
constexpr int kLoadTimeoutMilliseconds = 30000;

const char kPromoTitle[] = "Tolvane promotion test site";
const char kStoreTitle[] = "Tolvane hardware store test site";

enum Category
{
    kRadioCategory = 0,
    kHotKeyCategory = 1,
    kPromoCategory = 2,
    kStoreCategory = 3,
};

CMainFrame* Frame()
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

template <typename TView> TView* OpenPage(int category)
{
    Frame()->OpenCategoryPage(category);
    PumpEvents();
    return dynamic_cast<TView*>(wxDocManager::GetDocumentManager()->GetCurrentView());
}

int CountWebViews(wxWindow* window)
{
    int count = dynamic_cast<wxWebView*>(window) ? 1 : 0;
    for (wxWindow* child : window->GetChildren())
        count += CountWebViews(child);
    return count;
}

// Sets an environment variable for the object's lifetime.
class CScopedEnvironment
{
public:
    CScopedEnvironment(const char* name, const std::string& value) : m_strName(name)
    {
        if (const char* old = std::getenv(name))
            m_pOldValue = std::make_unique<std::string>(old);
        ::setenv(name, value.c_str(), 1);
    }
    ~CScopedEnvironment()
    {
        if (m_pOldValue)
            ::setenv(m_strName.c_str(), m_pOldValue->c_str(), 1);
        else
            ::unsetenv(m_strName.c_str());
    }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

private:
    std::string m_strName;
    std::unique_ptr<std::string> m_pOldValue; // null when the variable was not set
};

// Both sites run for every test; each page is pointed at its own, so a page
// that loads the wrong site is caught. Message boxes are answered (and
// recorded) instead of waiting for a person.
class WebPagesFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_promoSite.IsRunning());
        ASSERT_TRUE(m_storeSite.IsRunning());
        ASSERT_NE(Frame(), nullptr);
    }

    CWebTestServer m_promoSite{kPromoTitle};
    CWebTestServer m_storeSite{kStoreTitle};
    CScopedEnvironment m_promoAddress{"WAVECREST_PROMO_URL", m_promoSite.Address()};
    CScopedEnvironment m_storeAddress{"WAVECREST_STORE_URL", m_storeSite.Address()};
    CModalRecorder m_modals;
};

class WebPages : public WebPagesFixture
{
};

bool ShowsTitle(wxWebView* web, const char* title)
{
    return web && !web->IsBusy() && web->GetCurrentTitle() == title;
}

// One web page and what is its own: each runs the same tests, and the other
// page's site, message and flag must stay untouched.
struct WebPageCase
{
    const char* name;
    int category;
    const char* title;
    int reloadMessage;
    int otherReloadMessage;
    const char* fitFlag;
    const char* otherFitFlag;
    bool isPromo;
};

std::ostream& operator<<(std::ostream& out, const WebPageCase& page)
{
    return out << page.name;
}

const WebPageCase kWebPages[] = {
    {"PromoPage", kPromoCategory, kPromoTitle, wc::WM_RELOAD_PROMO, wc::WM_RELOAD_STORE,
     "CPromoView", "CHardwareStoreView", true},
    {"StorePage", kStoreCategory, kStoreTitle, wc::WM_RELOAD_STORE, wc::WM_RELOAD_PROMO,
     "CHardwareStoreView", "CPromoView", false},
};

class EachWebPage : public WebPagesFixture, public ::testing::WithParamInterface<WebPageCase>
{
protected:
    CWebPageView* Open() { return OpenPage<CWebPageView>(GetParam().category); }
    CWebTestServer& OwnSite() { return GetParam().isPromo ? m_promoSite : m_storeSite; }
    CWebTestServer& OtherSite() { return GetParam().isPromo ? m_storeSite : m_promoSite; }
    bool WaitForOwnTitle(CWebPageView* view)
    {
        return WaitUntil([&] { return ShowsTitle(view->GetWebView(), GetParam().title); },
                         kLoadTimeoutMilliseconds);
    }
};
} // namespace

TEST_P(EachWebPage, LoadsTheRootOfItsSiteOnceOpened)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->GetWebView(), nullptr);
    ASSERT_TRUE(WaitForOwnTitle(view));
    EXPECT_EQ(view->GetRequestedAddress(), OwnSite().Address());
    EXPECT_EQ(OwnSite().RequestPaths(), std::vector<std::string>{"/"});
    EXPECT_TRUE(OtherSite().RequestPaths().empty());
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_P(EachWebPage, AsksItsSiteAgainOnItsReloadMessage)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitForOwnTitle(view));
    ASSERT_EQ(OwnSite().CountRequests("/"), 1);

    platform::PostMessage(view, GetParam().reloadMessage);
    EXPECT_TRUE(
        WaitUntil([&] { return OwnSite().CountRequests("/") == 2; }, kLoadTimeoutMilliseconds));
    EXPECT_TRUE(WaitForOwnTitle(view)) << "the page is shown again after the reload";
}

TEST_P(EachWebPage, PostsItsReloadToItselfAndThenTheStatusRefreshToTheMainWindow)
{
    CMessageRecorder recorder;
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    int reloadAt = -1, statusAt = -1;
    const auto& records = recorder.Records();
    for (size_t index = 0; index < records.size(); ++index)
    {
        const auto& record = records[index];
        if (record.kind != platform::MessageRecord::Kind::PostedMessage)
            continue;
        if (record.number == GetParam().reloadMessage && record.target == view && reloadAt < 0)
            reloadAt = static_cast<int>(index);
        if (record.number == wc::WM_UPDATE_STATUS_PANES && record.target == Frame() && statusAt < 0)
            statusAt = static_cast<int>(index);
    }
    ASSERT_GE(reloadAt, 0) << "the page posts its own reload message to itself";
    ASSERT_GE(statusAt, 0) << "the page asks the main window to refresh its status panes";
    EXPECT_LT(reloadAt, statusAt);
    EXPECT_EQ(recorder.Count(GetParam().otherReloadMessage), 0);
}

TEST_P(EachWebPage, IgnoresTheOtherPagesReloadMessage)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitForOwnTitle(view));

    EXPECT_FALSE(platform::SendMessage(view, GetParam().otherReloadMessage));
    PumpEvents();
    EXPECT_TRUE(ShowsTitle(view->GetWebView(), GetParam().title));
    EXPECT_EQ(OwnSite().CountRequests("/"), 1);
    EXPECT_TRUE(OtherSite().RequestPaths().empty());
}

TEST_P(EachWebPage, ClearsTheStatusTextAndFitsTheWindowUnderItsOwnFlag)
{
    WriteSettingInt("CPromoView", 0);
    WriteSettingInt("CHardwareStoreView", 0);
    Frame()->SetStatusText("Buffering");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Frame()->GetCurrentStatus(), "");
    EXPECT_EQ(GetSettingInt(GetParam().fitFlag, 0), 1);
    EXPECT_EQ(GetSettingInt(GetParam().otherFitFlag, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(, EachWebPage, ::testing::ValuesIn(kWebPages),
                         [](const ::testing::TestParamInfo<WebPageCase>& info)
                         { return std::string(info.param.name); });

TEST_F(WebPages, RepeatedReloadsInQuickSuccessionEndOnTheSite)
{
    auto* view = OpenPage<CPromoView>(kPromoCategory);
    ASSERT_NE(view, nullptr);
    // The first load is still starting when the next messages arrive.
    platform::PostMessage(view, wc::WM_RELOAD_PROMO);
    platform::PostMessage(view, wc::WM_RELOAD_PROMO);
    EXPECT_TRUE(WaitUntil([&] { return ShowsTitle(view->GetWebView(), kPromoTitle); },
                          kLoadTimeoutMilliseconds));
    EXPECT_EQ(view->GetWebView()->GetCurrentURL(), m_promoSite.Address());
    EXPECT_GE(m_promoSite.CountRequests("/"), 1);
}

TEST_F(WebPages, AnUnreachableSiteShowsNoMessageBoxAndThePageStaysUsable)
{
    CScopedEnvironment nowhere("WAVECREST_PROMO_URL", UnreachableAddress());
    auto* view = OpenPage<CPromoView>(kPromoCategory);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->GetWebView(), nullptr);
    int failures = 0;
    view->GetWebView()->Bind(wxEVT_WEBVIEW_ERROR, [&](wxWebViewEvent&) { ++failures; });
    ASSERT_TRUE(WaitUntil([&] { return failures > 0; }, kLoadTimeoutMilliseconds));
    EXPECT_TRUE(m_modals.Requests().empty()) << "failures are not reported to the user";

    // The page still reacts: a reload tries again, and after the site is back
    // the page shows it.
    const int failuresBefore = failures;
    platform::PostMessage(view, wc::WM_RELOAD_PROMO);
    EXPECT_TRUE(WaitUntil([&] { return failures > failuresBefore; }, kLoadTimeoutMilliseconds));
    ::setenv("WAVECREST_PROMO_URL", m_promoSite.Address().c_str(), 1);
    platform::PostMessage(view, wc::WM_RELOAD_PROMO);
    EXPECT_TRUE(WaitUntil([&] { return ShowsTitle(view->GetWebView(), kPromoTitle); },
                          kLoadTimeoutMilliseconds));
    EXPECT_TRUE(m_modals.Requests().empty());
}

// Records the addresses the program asks the browser to open, instead of
// starting one, for as long as it lives.
class CBrowserRecorder
{
public:
    CBrowserRecorder()
    {
        platform::SetBrowserObserver([this](const wxString& address)
                                     { m_opened.push_back(address.utf8_string()); });
    }
    ~CBrowserRecorder() { platform::SetBrowserObserver(nullptr); }
    CBrowserRecorder(const CBrowserRecorder&) = delete;
    CBrowserRecorder& operator=(const CBrowserRecorder&) = delete;

    const std::vector<std::string>& Opened() const { return m_opened; }

private:
    std::vector<std::string> m_opened;
};

// The page follows a link, as when a person clicks it: an anchor with that
// address (and target window) is put into the page and clicked.
void FollowLink(wxWebView* web, const std::string& address, const char* target = "_self")
{
    web->RunScript("(function() { var link = document.createElement('a'); link.href = '" + address +
                   "'; link.target = '" + target +
                   "'; document.body.appendChild(link); link.click(); })();");
}

TEST_F(WebPages, LinksToOtherSitesOpenTheBrowserAndLocalFilesAreRefused)
{
    CBrowserRecorder browser;
    auto* view = OpenPage<CPromoView>(kPromoCategory);
    ASSERT_NE(view, nullptr);
    wxWebView* web = view->GetWebView();
    ASSERT_TRUE(WaitUntil([&] { return ShowsTitle(web, kPromoTitle); }, kLoadTimeoutMilliseconds));

    // Another web site opens in the browser; the page stays where it is.
    const std::string elsewhere = UnreachableAddress() + "elsewhere.html";
    FollowLink(web, elsewhere);
    ASSERT_TRUE(WaitUntil([&] { return browser.Opened().size() == 1; }, kLoadTimeoutMilliseconds));
    EXPECT_EQ(browser.Opened()[0], elsewhere);

    // A local file goes nowhere. The link after it shows that it was handled.
    FollowLink(web, "file:///etc/hostname");
    FollowLink(web, "https://elsewhere.example/second.html");
    ASSERT_TRUE(WaitUntil([&] { return browser.Opened().size() == 2; }, kLoadTimeoutMilliseconds));
    EXPECT_EQ(browser.Opened()[1], "https://elsewhere.example/second.html");

    // A new window is never the program's own: the browser opens it.
    FollowLink(web, "https://elsewhere.example/window.html", "_blank");
    ASSERT_TRUE(WaitUntil([&] { return browser.Opened().size() == 3; }, kLoadTimeoutMilliseconds));
    EXPECT_EQ(browser.Opened()[2], "https://elsewhere.example/window.html");
    PumpEvents();
    EXPECT_TRUE(ShowsTitle(web, kPromoTitle));
    EXPECT_EQ(web->GetCurrentURL(), m_promoSite.Address());

    // A page of the maker's sites (here the store's) stays in the page.
    FollowLink(web, m_storeSite.Address() + "parts.html");
    EXPECT_TRUE(WaitUntil([&] { return ShowsTitle(web, kStoreTitle); }, kLoadTimeoutMilliseconds));
    EXPECT_EQ(web->GetCurrentURL(), m_storeSite.Address() + "parts.html");
    EXPECT_EQ(browser.Opened().size(), 3u);
    EXPECT_TRUE(m_modals.Requests().empty());
}

TEST_F(WebPages, TheRadioAndHotKeyPagesCreateNoWebView)
{
    Frame()->OpenCategoryPage(kRadioCategory);
    PumpEvents();
    EXPECT_EQ(CountWebViews(Frame()), 0);
    Frame()->OpenCategoryPage(kHotKeyCategory);
    PumpEvents();
    EXPECT_EQ(CountWebViews(Frame()), 0);
}

TEST_F(WebPages, AWebViewExistsOnlyWhileAWebPageIsOpen)
{
    ASSERT_NE(OpenPage<CPromoView>(kPromoCategory), nullptr);
    EXPECT_EQ(CountWebViews(Frame()), 1);
    ASSERT_NE(OpenPage<CHardwareStoreView>(kStoreCategory), nullptr);
    EXPECT_EQ(CountWebViews(Frame()), 1) << "the promotion page's web view went with its page";

    Frame()->OpenCategoryPage(kRadioCategory);
    PumpEvents();
    EXPECT_EQ(CountWebViews(Frame()), 0);
}
