#pragma once
// The few settings read often, kept after their first read. A field holds -1
// until it has been read, and goes back to -1 after each write so that the
// next read goes to the settings file again.

#include <cstdint>

class wxString;

struct CachedSettings
{
    std::int32_t m_nDisplayRadioChannels = -1;
    std::int32_t m_nDisplayTVChannels = -1;
    std::int32_t m_nLastCategory = -1;

    int DisplayRadioChannels();
    int DisplayTVChannels();
    int LastCategory();

    void WriteDisplayRadioChannels(int value);
    void WriteDisplayTVChannels(int value);
};

// The application's record, reachable from everywhere.
extern CachedSettings* g_pCachedSettings;

// Reads a cached field: loads it from the settings on first use.
int ReadCached(std::int32_t& field, const char* name, int defaultValue);
// Writes a setting, then marks its cached field as not read.
void WriteCached(std::int32_t& field, const wxString& name, int value);
// The value a toggle writes: 1 when the current value is 0, else 0.
int ToggledValue(int current);
