// Loads a generated station list of 100,000 channels (about 20 MB of UTF-16
// little-endian text) with CStationList::Load, as the radio page does after a
// download, and prints the load time and the peak memory of the load.
//
//   wavecrest-bench-stationlist [CHANNELS [RUNS]]
//
// Everything happens in a private temporary home that is removed afterwards.
// Peak memory is given twice: as the growth of the process's peak resident
// set during the load (VmHWM, reset before each load), and as the peak of the
// bytes held through operator new (counted by this program).

#include "catalogue/DataFolder.h"
#include "catalogue/StationList.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <malloc.h>
#include <new>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// --- bytes held through operator new ------------------------------------------

namespace
{
std::size_t g_heldBytes = 0;
std::size_t g_peakHeldBytes = 0;

void* Allocate(std::size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    g_heldBytes += malloc_usable_size(block);
    g_peakHeldBytes = std::max(g_peakHeldBytes, g_heldBytes);
    return block;
}

void Release(void* block) noexcept
{
    if (!block)
        return;
    g_heldBytes -= malloc_usable_size(block);
    std::free(block);
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
    Release(block);
}
void operator delete[](void* block) noexcept
{
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}

namespace
{
// --- the generated station list -------------------------------------------------

void AppendUtf16(std::string& out, const std::u16string& text)
{
    for (const char16_t unit : text)
    {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
}

// About 100 characters a line, a mix of radio, TV and other channels, some
// names and descriptions outside ASCII, one channel in twenty switched off.
std::string GenerateStationList(int channels)
{
    static const char16_t* const kGenres[] = {u"Pop",  u"Rock",       u"Jazz & Blues", u"Klassik",
                                              u"News", u"Electronic", u"Talk / Info",  u"Schlager"};
    static const char16_t* const kCountries[] = {
        u"Deutschland – Berlin", u"Österreich – Wien", u"France – Paris", u"日本 – 東京",
        u"Norge – Oslo",         u"España – Madrid",   u"Italia – Roma",  u"Polska – Kraków",
        u"Sverige – Göteborg",   u"United Kingdom",    u"Ελλάδα – Αθήνα", u"Česko – Praha"};
    std::string out;
    out.reserve(static_cast<std::size_t>(channels) * 204 + 256);
    AppendUtf16(out, u"Type,Name,Stream address,Id,Genre,Country,Status\r\n");
    for (int i = 0; i < channels; ++i)
    {
        const std::string digits = std::to_string(i);
        const std::u16string number(digits.begin(), digits.end());
        const char16_t* type = i % 10 < 6 ? u"Radio" : i % 10 < 9 ? u"TV" : u"Web";
        std::u16string line = std::u16string(type) + u", Kanal " + number +
                              (i % 7 == 0 ? u" Ölberg-Welle" : u" Wavecrest") + u" ,";
        line += u"http://stream-" + std::u16string(1, u'a' + i % 26) + u".example.net/ch" + number +
                u".mp3,";
        line += number + u",";
        line += std::u16string(kGenres[i % 8]) + u",";
        line += std::u16string(kCountries[i % 12]) + u",";
        line += i % 20 == 0 ? u"OFF" : u"ON";
        line += u"\r\n";
        AppendUtf16(out, line);
    }
    return out;
}

// --- measuring -----------------------------------------------------------------

long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == field)
        {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    return -1;
}

// Sets the peak resident set back to the current one (Linux 4.0 and later).
bool ResetPeakResidentSet()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

int RemoveEntry(const char* path, const struct stat*, int, FTW*)
{
    return ::remove(path);
}

double Megabytes(double bytes)
{
    return bytes / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    const int channels = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

    char home[] = "/tmp/wavecrest-bench-XXXXXX";
    if (!::mkdtemp(home))
    {
        std::perror("mkdtemp");
        return 2;
    }
    const std::string homePath = home;
    ::setenv("HOME", home, 1);
    ::setenv("XDG_DATA_HOME", (homePath + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (homePath + "/config").c_str(), 1);

    const std::string original = homePath + "/generated.utf16";
    std::size_t fileSize = 0;
    {
        const std::string text = GenerateStationList(channels);
        fileSize = text.size();
        std::ofstream(original, std::ios::binary) << text;
    }
    const std::string stationList = GetStationListPath();
    std::printf("station list: %d channels, %zu bytes (%.1f MB) of UTF-16\n", channels, fileSize,
                Megabytes(fileSize));

    std::vector<double> milliseconds;
    std::vector<long> faults;
    long peakGrowthKb = 0;
    std::size_t peakHeapGrowth = 0;
    bool resetWorks = true;
    for (int run = 0; run < runs; ++run)
    {
        // A hard link: the load deletes its name, the generated file stays.
        if (::link(original.c_str(), stationList.c_str()) != 0)
        {
            std::perror("link");
            return 2;
        }
        resetWorks = ResetPeakResidentSet() && resetWorks;
        const long residentBeforeKb = StatusKilobytes("VmRSS:");
        const std::size_t heldBefore = g_heldBytes;
        g_peakHeldBytes = g_heldBytes;

        rusage usageBefore;
        ::getrusage(RUSAGE_SELF, &usageBefore);
        const auto start = std::chrono::steady_clock::now();
        int loaded = 0;
        {
            CStationList list;
            if (!list.Load())
            {
                std::fprintf(stderr, "the load could not open %s\n", stationList.c_str());
                return 2;
            }
            loaded = list.m_channels.GetCount();
            milliseconds.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            rusage usageAfter;
            ::getrusage(RUSAGE_SELF, &usageAfter);
            faults.push_back(usageAfter.ru_minflt - usageBefore.ru_minflt);
            peakGrowthKb = std::max(peakGrowthKb, StatusKilobytes("VmHWM:") - residentBeforeKb);
            peakHeapGrowth = std::max(peakHeapGrowth, g_peakHeldBytes - heldBefore);
        }
        if (loaded != channels || ::access(stationList.c_str(), F_OK) == 0)
        {
            std::fprintf(stderr, "wrong load: %d channels, file %s\n", loaded,
                         ::access(stationList.c_str(), F_OK) == 0 ? "still there" : "gone");
            return 1;
        }
    }
    ::nftw(home, RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);

    std::vector<double> sorted = milliseconds;
    std::sort(sorted.begin(), sorted.end());
    std::printf(
        "load time over %d runs: best %.1f ms, median %.1f ms, worst %.1f ms (target < 150 ms)\n",
        runs, sorted.front(), sorted[sorted.size() / 2], sorted.back());
    std::printf("first load (fresh heap): %.1f ms, %ld page faults; later loads: %ld page faults\n",
                milliseconds.front(), faults.front(), faults.back());
    std::printf("peak memory of a load, operator new: %.1f MB = %.2f x the file (target < 3 x)\n",
                Megabytes(static_cast<double>(peakHeapGrowth)),
                static_cast<double>(peakHeapGrowth) / static_cast<double>(fileSize));
    if (resetWorks)
        std::printf(
            "peak memory of a load, resident set growth (VmHWM): %.1f MB = %.2f x the file\n",
            Megabytes(peakGrowthKb * 1024.0),
            peakGrowthKb * 1024.0 / static_cast<double>(fileSize));
    std::printf("process peak resident set (VmHWM since the last reset): %.1f MB\n",
                Megabytes(StatusKilobytes("VmHWM:") * 1024.0));
    return 0;
}
