#pragma once
// The few settings read often, kept after their first read. A field is empty
// until it has been read, and is emptied again by each write so that the next
// read goes to the settings file again. Any stored number, -1 included, is a
// value like any other once it has been read.

#include <cstdint>
#include <optional>

class wxString;

struct CachedSettings
{
    using Field = std::optional<std::int32_t>;

    Field m_nDisplayRadioChannels;
    Field m_nDisplayTVChannels;
    Field m_nLastCategory;

    int DisplayRadioChannels();
    int DisplayTVChannels();
    int LastCategory();

    void WriteDisplayRadioChannels(int value);
    void WriteDisplayTVChannels(int value);
};

// The application's record, reachable from everywhere.
extern CachedSettings* g_pCachedSettings;

// Reads a cached field: loads it from the settings on first use.
int ReadCached(CachedSettings::Field& field, const char* name, int defaultValue);
// Writes a setting, then marks its cached field as not read.
void WriteCached(CachedSettings::Field& field, const wxString& name, int value);
// The value a toggle writes: 1 when the current value is 0, else 0.
int ToggledValue(int current);
