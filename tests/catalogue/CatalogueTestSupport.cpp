#include "CatalogueTestSupport.h"

#include <cstdlib>
#include <new>
#include <sys/stat.h>

// --- allocations that fail on purpose ------------------------------------------

namespace
{
long g_allocationsLeft = -1; // -1: no failures

void* Allocate(std::size_t size)
{
    if (g_allocationsLeft == 0)
        throw std::bad_alloc();
    if (g_allocationsLeft > 0)
        --g_allocationsLeft;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

CFailingAllocations::CFailingAllocations(long n)
{
    g_allocationsLeft = n;
}

CFailingAllocations::~CFailingAllocations()
{
    g_allocationsLeft = -1;
}

// --- text and fixture -------------------------------------------------------------

std::string Utf16Le(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text)
    {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

void CatalogueTest::PutStationList(const std::string& bytes) const
{
    ::mkdir((m_home.DataFolder() + "/Wavecrest").c_str(), 0700);
    WriteWholeFile(StationListPath(), bytes);
}
