#pragma once
// Helpers for the catalogue's tests: UTF-16 text for station-list files, a
// fixture with a private home and settings cache, and allocations that fail
// on purpose.

#include "core/CachedSettings.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// The bytes of a UTF-16 little-endian text.
std::string Utf16Le(std::u16string_view text);

// A private home whose settings the display filters read through
// g_pCachedSettings; the station-list file is in its data folder.
class CatalogueTest : public ::testing::Test
{
protected:
    CatalogueTest();
    ~CatalogueTest() override;

    std::string StationListPath() const
    {
        return m_home.DataFolder() + "/Wavecrest/StationList.zip";
    }
    // Puts a station-list file (raw bytes) where the load looks for it.
    void PutStationList(const std::string& bytes) const;
    void PutStationList(std::u16string_view text) const { PutStationList(Utf16Le(text)); }

    CTempHome m_home;
    CachedSettings m_cache;
};

// While it lives, every allocation through operator new from the n-th on
// (counting from 0) throws std::bad_alloc.
class CFailingAllocations
{
public:
    explicit CFailingAllocations(long n);
    ~CFailingAllocations();
    CFailingAllocations(const CFailingAllocations&) = delete;
    CFailingAllocations& operator=(const CFailingAllocations&) = delete;
};
