#pragma once
// Every value of [Settings] with the default its readers pass. The pages own
// the meaning of their values; this is the one list of them all.

#include <array>

struct SettingInfo
{
    const char* name;
    int defaultValue;
};

namespace setting
{
inline constexpr SettingInfo DisplayNonWorkingChannels{"DisplayNonWorkingChannels", 0};
inline constexpr SettingInfo DisplayRadioChannels{"DisplayRadioChannels", 1};
inline constexpr SettingInfo DisplayTVChannels{"DisplayTVChannels", 1};
inline constexpr SettingInfo LastChannelIndex{"LastChannelIndex", 0};
inline constexpr SettingInfo AutoPlay{"AutoPlay", 1};
// A text beside LastChannelIndex: the address of the channel played last,
// which finds it again where its index has moved (My channels follow the
// station list's rows, however many of those there are).
inline constexpr const char* LastChannelAddress = "LastChannelAddress";
inline constexpr SettingInfo LastCategory{"LastCategory", 0};
// Whether the main window has been fitted to a page, named after the page's view.
inline constexpr SettingInfo RadioPageFitted{"CWavecrestView", 0};
inline constexpr SettingInfo SettingsPageFitted{"CRadioSettingsView", 0};
inline constexpr SettingInfo PromoPageFitted{"CPromoView", 0};
inline constexpr SettingInfo StorePageFitted{"CHardwareStoreView", 0};
// Hot keys: "<action> Key" holds the virtual-key code, "<action> Mod" the modifiers.
inline constexpr SettingInfo PlayKey{"Play Key", 0};
inline constexpr SettingInfo PlayMod{"Play Mod", 0};
inline constexpr SettingInfo PlayNextKey{"Play Next Key", 0};
inline constexpr SettingInfo PlayNextMod{"Play Next Mod", 0};
inline constexpr SettingInfo PlayPrevKey{"Play Prev Key", 0};
inline constexpr SettingInfo PlayPrevMod{"Play Prev Mod", 0};
inline constexpr SettingInfo StopKey{"Stop Key", 0};
inline constexpr SettingInfo StopMod{"Stop Mod", 0};

inline constexpr std::array<SettingInfo, 18> kAll = {DisplayNonWorkingChannels,
                                                     DisplayRadioChannels,
                                                     DisplayTVChannels,
                                                     LastChannelIndex,
                                                     AutoPlay,
                                                     LastCategory,
                                                     RadioPageFitted,
                                                     SettingsPageFitted,
                                                     PromoPageFitted,
                                                     StorePageFitted,
                                                     PlayKey,
                                                     PlayMod,
                                                     PlayNextKey,
                                                     PlayNextMod,
                                                     PlayPrevKey,
                                                     PlayPrevMod,
                                                     StopKey,
                                                     StopMod};

inline constexpr SettingInfo ApplicationLook{"ApplicationLook", 216}; // in [Workspace]
} // namespace setting

// Reads a setting of the table with its default.
int GetSetting(const SettingInfo& info);
