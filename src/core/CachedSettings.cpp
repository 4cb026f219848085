#include "core/CachedSettings.h"

#include "core/Settings.h"
#include "core/SettingsTable.h"

#include <wx/string.h>

CachedSettings* g_pCachedSettings = nullptr;

int ReadCached(CachedSettings::Field& field, const char* name, int defaultValue)
{
    // The name becomes a string only when the file must be read.
    if (!field)
        field = GetSettingInt(name, defaultValue);
    return *field;
}

void WriteCached(CachedSettings::Field& field, const wxString& name, int value)
{
    WriteSettingInt(name, value);
    field.reset();
}

int ToggledValue(int current)
{
    return current == 0 ? 1 : 0;
}

int CachedSettings::DisplayRadioChannels()
{
    return ReadCached(m_nDisplayRadioChannels, setting::DisplayRadioChannels.name,
                      setting::DisplayRadioChannels.defaultValue);
}

int CachedSettings::DisplayTVChannels()
{
    return ReadCached(m_nDisplayTVChannels, setting::DisplayTVChannels.name,
                      setting::DisplayTVChannels.defaultValue);
}

int CachedSettings::LastCategory()
{
    return ReadCached(m_nLastCategory, setting::LastCategory.name,
                      setting::LastCategory.defaultValue);
}

void CachedSettings::WriteDisplayRadioChannels(int value)
{
    WriteCached(m_nDisplayRadioChannels, setting::DisplayRadioChannels.name, value);
}

void CachedSettings::WriteDisplayTVChannels(int value)
{
    WriteCached(m_nDisplayTVChannels, setting::DisplayTVChannels.name, value);
}
