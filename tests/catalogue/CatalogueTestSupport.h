#pragma once
// Helpers for the catalogue's tests: UTF-16 text for station-list files, a
// fixture with a private home, and allocations that fail
// on purpose.

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// The bytes of a UTF-16 little-endian text.
std::string Utf16Le(std::u16string_view text);

// A private home; the station-list file is in its data folder.
class CatalogueTest : public ::testing::Test
{
protected:
    std::string StationListPath() const
    {
        return m_home.DataFolder() + "/Wavecrest/StationList.zip";
    }
    // Puts a station-list file (raw bytes) where the load looks for it.
    void PutStationList(const std::string& bytes) const;
    void PutStationList(std::u16string_view text) const { PutStationList(Utf16Le(text)); }

    CTempHome m_home;
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
