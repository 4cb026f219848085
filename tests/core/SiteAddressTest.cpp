// Which addresses the web pages load: the maker's sites, unless the
// environment names others.

#include "core/SiteAddresses.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{
class SiteAddress : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Save("WAVECREST_PROMO_URL", m_savedPromo);
        Save("WAVECREST_STORE_URL", m_savedStore);
    }
    void TearDown() override
    {
        Restore("WAVECREST_PROMO_URL", m_savedPromo);
        Restore("WAVECREST_STORE_URL", m_savedStore);
    }

private:
    struct Saved
    {
        bool bSet = false;
        std::string strValue;
    };
    static void Save(const char* name, Saved& saved)
    {
        const char* value = std::getenv(name);
        saved.bSet = value != nullptr;
        saved.strValue = value ? value : "";
        ::unsetenv(name);
    }
    static void Restore(const char* name, const Saved& saved)
    {
        if (saved.bSet)
            ::setenv(name, saved.strValue.c_str(), 1);
        else
            ::unsetenv(name);
    }
    Saved m_savedPromo, m_savedStore;
};
} // namespace

TEST_F(SiteAddress, IsTheMakersSitesWhenTheEnvironmentNamesNone)
{
    EXPECT_EQ(PromoSiteAddress(), "https://www.tolvane.example/");
    EXPECT_EQ(StoreSiteAddress(), "https://store.tolvane.example/");
}

TEST_F(SiteAddress, IsWhatTheEnvironmentNamesForEachSiteSeparately)
{
    ::setenv("WAVECREST_PROMO_URL", "http://127.0.0.1:8081/", 1);
    EXPECT_EQ(PromoSiteAddress(), "http://127.0.0.1:8081/");
    EXPECT_EQ(StoreSiteAddress(), "https://store.tolvane.example/");
    ::setenv("WAVECREST_STORE_URL", "http://127.0.0.1:8082/", 1);
    EXPECT_EQ(StoreSiteAddress(), "http://127.0.0.1:8082/");
    EXPECT_EQ(PromoSiteAddress(), "http://127.0.0.1:8081/");
}

TEST_F(SiteAddress, IgnoresAnEmptyOrBlankSetting)
{
    ::setenv("WAVECREST_PROMO_URL", "", 1);
    ::setenv("WAVECREST_STORE_URL", "  ", 1);
    EXPECT_EQ(PromoSiteAddress(), "https://www.tolvane.example/");
    EXPECT_EQ(StoreSiteAddress(), "https://store.tolvane.example/");
}

TEST_F(SiteAddress, DropsSpacesAroundASetting)
{
    ::setenv("WAVECREST_PROMO_URL", " http://127.0.0.1:8081/ \n", 1);
    EXPECT_EQ(PromoSiteAddress(), "http://127.0.0.1:8081/");
}
